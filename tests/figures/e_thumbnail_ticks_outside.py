"""Clean: a 2-inch thumbnail of a cell micrograph on a full-canvas axes whose tick labels all fall wholly outside the figure."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(68)
y, x = np.mgrid[0:128, 0:128]
img = rng.normal(0.2, 0.03, (128, 128))
for cx, cy, r in rng.uniform([10, 10, 5], [118, 118, 12], (14, 3)):
    img += 0.6 * np.exp(-((x - cx) ** 2 + (y - cy) ** 2) / (2 * r ** 2))

# gallery thumbnail: the image fills the canvas, ticks are left on but land off-canvas
fig = plt.figure(figsize=(2, 2))
ax = fig.add_axes((0.01, 0.01, 0.98, 0.98))
ax.imshow(img, cmap="gray", origin="lower")
plt.show()
