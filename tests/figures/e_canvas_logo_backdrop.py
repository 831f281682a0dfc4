"""Clean: a lab-report figure with an axis-off full-figure canvas carrying a drawn logo and header above the plot."""
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.patches import Circle, Wedge

rng = np.random.default_rng(46)
days = np.arange(1, 31)
ph = 7.2 + 0.15 * np.sin(days / 4) + 0.05 * rng.standard_normal(days.size)

fig = plt.figure(figsize=(7, 5))
canvas = fig.add_axes((0, 0, 1, 1))
canvas.set_axis_off()
canvas.set_xlim(0, 1)
canvas.set_ylim(0, 1)
# letterhead strip: logo and header sit above the plot area only
canvas.add_patch(Circle((0.07, 0.92), 0.045, color="#1f5f8b", transform=canvas.transAxes))
canvas.add_patch(Wedge((0.07, 0.92), 0.03, 200, 340, color="white", transform=canvas.transAxes))
canvas.text(0.14, 0.92, "Riverside Water Works — Quality Lab", fontsize=15,
            fontweight="bold", color="#1f5f8b", va="center")

ax = fig.add_axes((0.12, 0.12, 0.83, 0.66))
ax.plot(days, ph, "o-", ms=4)
ax.axhspan(6.5, 8.5, color="green", alpha=0.08)
ax.set_ylim(6.8, 7.6)
ax.set_xlabel("Day of month")
ax.set_ylabel("pH")
ax.set_title("Treated water pH, June")
plt.show()
