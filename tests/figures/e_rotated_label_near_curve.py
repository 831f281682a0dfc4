"""Clean: a 30° rotated label beside a steep warming curve, its upright box clipped by the curve but its glyphs clear."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(52)
t = np.linspace(0, 60, 200)
batch = 20 + 0.02 * t ** 2 + 0.3 * rng.standard_normal(t.size)
jacket = 20 + 0.9 * t

fig, ax = plt.subplots(figsize=(6.5, 4.5))
ax.plot(t, batch, label="Batch")
ax.plot(t, jacket, "--", color="0.4", label="Jacket setpoint")
ax.text(40, 64, "exotherm onset", rotation=30, rotation_mode="anchor",
        ha="left", va="bottom", fontsize=10)
ax.set_xlim(0, 60)
ax.set_ylim(15, 95)
ax.set_xlabel("Time after charge (min)")
ax.set_ylabel("Temperature (°C)")
ax.legend(loc="upper left")
plt.show()
