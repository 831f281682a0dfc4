"""Clean: a tide-gauge series with a spare axes left hidden with set_visible(False) over it."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(48)
h = np.arange(0, 72, 0.1)
level = 1.6 * np.cos(2 * np.pi * h / 12.42) + 0.4 * np.cos(2 * np.pi * h / 12.0)
level += 0.05 * rng.standard_normal(h.size)

fig, ax = plt.subplots(figsize=(7, 4))
ax.plot(h, level, lw=1)
ax.set_xlabel("Hours from 1 March 00:00")
ax.set_ylabel("Water level above datum (m)")
ax.set_title("Harbour tide gauge")

# residual panel kept for the storm-surge variant of this plot, hidden here
spare = fig.add_axes((0.3, 0.3, 0.45, 0.4))
spare.plot(h, level - level.mean(), color="C3")
spare.set_title("Residual")
spare.set_visible(False)
plt.show()
