"""Clean: a grid of four simulated micrograph tiles shown without axes, titled per tile.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(50)
yy, xx = np.mgrid[0:128, 0:128]

fig, axes = plt.subplots(2, 2, figsize=(6, 6), layout="constrained")
for k, ax in enumerate(axes.flat):
    img = rng.normal(0.1, 0.05, (128, 128))
    for cx, cy in rng.uniform(10, 118, (6 + 4 * k, 2)):
        img += np.exp(-((xx - cx) ** 2 + (yy - cy) ** 2) / 30)
    ax.imshow(img, cmap="gray", vmin=0, vmax=1.2)
    ax.set_title(f"Tile {k + 1}: {6 + 4 * k} nuclei")
    ax.set_axis_off()
fig.suptitle("DAPI channel, well C4")
plt.show()
