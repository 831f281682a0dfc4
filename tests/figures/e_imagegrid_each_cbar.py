"""Clean: ImageGrid of three spectrometer channels in one row, each with its own colour bar on top."""
import matplotlib.pyplot as plt
import numpy as np
from mpl_toolkits.axes_grid1 import ImageGrid

rng = np.random.default_rng(42)
y, x = np.mgrid[0:48, 0:48]
channels = {"Fe Kα": (18, 30, 900), "Cu Kα": (30, 20, 350), "Zn Kα": (26, 34, 60)}

fig = plt.figure(figsize=(9, 3.8))
grid = ImageGrid(fig, 111, nrows_ncols=(1, 3), axes_pad=0.5, cbar_mode="each",
                 cbar_location="top", cbar_pad=0.08, cbar_size="6%")
for ax, cax, (line, (cx, cy, peak)) in zip(grid, grid.cbar_axes, channels.items()):
    counts = peak * np.exp(-((x - cx) ** 2 + (y - cy) ** 2) / 60.0)
    counts = rng.poisson(counts + 5)
    im = ax.imshow(counts, cmap="magma", origin="lower")
    cax.colorbar(im)
    cax.set_xlabel(f"{line} counts", fontsize=9, labelpad=5)
    cax.xaxis.set_label_position("top")
    cax.tick_params(labelsize=8)
grid[0].set_xlabel("Pixel x")
grid[0].set_ylabel("Pixel y")
plt.show()
