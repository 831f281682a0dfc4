"""Defect (over_data): the "pump restart" annotation is written straight across the noisy flow trace, which runs through its glyphs."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(56)
t = np.linspace(0, 60, 3000)

fig, ax = plt.subplots(figsize=(7, 4))
ax.plot(t, 0.3 * np.sin(t / 10) + 0.5 * rng.standard_normal(3000), lw=0.8)
ax.annotate("pump restart", xy=(31, 0.0), ha="center", va="center", fontsize=12)
ax.set_xlabel("Time (min)")
ax.set_ylabel("Flow deviation (L/s)")
ax.set_title("Cooling loop B flow, night shift")
plt.show()
