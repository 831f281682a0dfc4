"""Clean: a light curve with a zoomed_inset_axes in the empty lower-left corner showing the transit dip."""
import matplotlib.pyplot as plt
import numpy as np
from mpl_toolkits.axes_grid1.inset_locator import mark_inset, zoomed_inset_axes

rng = np.random.default_rng(43)
t = np.linspace(0, 10, 2000)
flux = 1.0 - 0.004 * (np.abs(t - 7.2) < 0.15) + 0.0008 * rng.standard_normal(t.size)
flux -= 0.02 * (t / 10) ** 2  # slow instrumental drift

fig, ax = plt.subplots(figsize=(7, 4.5))
ax.plot(t, flux, ".", ms=1.5, color="0.3")
ax.set_ylim(0.955, 1.005)
ax.set_xlabel("Time since start (d)")
ax.set_ylabel("Normalised flux")
ax.set_title("Target 4471-b photometry")

axins = zoomed_inset_axes(ax, zoom=3, loc="lower left", borderpad=1.2)
axins.plot(t, flux, ".", ms=2, color="0.3")
axins.set_xlim(6.85, 7.55)
axins.set_ylim(0.9835, 0.9925)
axins.set_xticks([])
axins.set_yticks([])
mark_inset(ax, axins, loc1=2, loc2=4, fc="none", ec="0.5")
plt.show()
