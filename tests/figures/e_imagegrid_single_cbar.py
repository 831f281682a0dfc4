"""Clean: ImageGrid of four surface-temperature anomaly maps sharing one colour bar on the right."""
import matplotlib.pyplot as plt
import numpy as np
from mpl_toolkits.axes_grid1 import ImageGrid

rng = np.random.default_rng(41)
lon, lat = np.meshgrid(np.linspace(-30, 30, 60), np.linspace(-20, 20, 40))
seasons = ["DJF", "MAM", "JJA", "SON"]

fig = plt.figure(figsize=(7.5, 5))
grid = ImageGrid(fig, 111, nrows_ncols=(2, 2), axes_pad=0.35, share_all=True,
                 cbar_mode="single", cbar_location="right", cbar_pad=0.15)
for k, (ax, season) in enumerate(zip(grid, seasons)):
    # a warm pool drifting east through the year, plus weather noise
    field = 1.8 * np.exp(-((lon - 15 * k + 20) ** 2 / 200 + lat ** 2 / 80))
    field += 0.25 * rng.standard_normal(lon.shape)
    im = ax.imshow(field, extent=(-30, 30, -20, 20), origin="lower",
                   cmap="RdBu_r", vmin=-2, vmax=2)
    ax.set_title(season, fontsize=10)
grid.cbar_axes[0].colorbar(im, label="SST anomaly (K)")
grid[2].set_xlabel("Longitude (°E)")
grid[2].set_ylabel("Latitude (°N)")
fig.suptitle("Equatorial Atlantic SST anomaly, 2023 seasonal means")
plt.show()
