"""Clean: two stacked axes sized with make_axes_area_auto_adjustable so their long labels fit."""
import matplotlib.pyplot as plt
import numpy as np
from mpl_toolkits.axes_grid1.axes_divider import make_axes_area_auto_adjustable

rng = np.random.default_rng(27)
t = np.arange(0, 72, 0.5)  # hours
do = 8 + 1.5 * np.sin(2 * np.pi * t / 24) + rng.normal(0, 0.2, t.size)
nh4 = 2 + 0.8 * np.cos(2 * np.pi * t / 24) + rng.normal(0, 0.1, t.size)

fig = plt.figure(figsize=(7, 5.5))
ax1 = fig.add_axes([0, 0.5, 1, 0.5])
ax2 = fig.add_axes([0, 0, 1, 0.5])
ax1.plot(t, do * 1000, color="tab:blue")
ax1.set_ylabel("Dissolved oxygen\n(µg/L)")
ax1.set_title("Aeration basin 2, 72 h monitoring")
ax1.tick_params(labelbottom=False)
ax2.plot(t, nh4, color="tab:green")
ax2.set_ylabel("Ammonium\n(mg N/L)")
ax2.set_xlabel("Elapsed time (h)")
make_axes_area_auto_adjustable(ax1, use_axes=[ax1, ax2])
make_axes_area_auto_adjustable(ax2, use_axes=[ax1, ax2])
plt.show()
