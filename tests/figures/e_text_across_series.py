"""Defect (over_data): the free text "sensor drift after recalibration" is written across the six overlapping thermocouple traces, which cross its glyphs."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(57)
t = np.arange(0, 24, 0.05)

fig, ax = plt.subplots(figsize=(7, 4.5))
for k in range(6):
    temp = 410 + 6 * np.sin(2 * np.pi * t / 24 + 0.2 * k) + 1.5 * k
    temp += np.cumsum(rng.normal(0, 0.15, t.size))
    ax.plot(t, temp, lw=1, label=f"TC-{k + 1}")
ax.text(12, 412, "sensor drift after recalibration", ha="center", fontsize=11)
ax.set_xlim(0, 24)
ax.set_xlabel("Hour of day")
ax.set_ylabel("Kiln wall temperature (°C)")
ax.legend(ncol=3, loc="lower left", fontsize=8)
plt.show()
