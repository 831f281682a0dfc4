"""Defect (clipping): the full-canvas thumbnail's title "Sample 14, DAPI" lies wholly above the figure and is lost."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(69)
y, x = np.mgrid[0:128, 0:128]
img = rng.normal(0.15, 0.03, (128, 128))
for cx, cy, r in rng.uniform([10, 10, 4], [118, 118, 9], (22, 3)):
    img += 0.7 * np.exp(-((x - cx) ** 2 + (y - cy) ** 2) / (2 * r ** 2))

fig = plt.figure(figsize=(2.2, 2.2))
ax = fig.add_axes((0.01, 0.01, 0.98, 0.98))
ax.imshow(img, cmap="Blues_r", origin="lower")
ax.set_xticks([])
ax.set_yticks([])
ax.set_title("Sample 14, DAPI", fontsize=9)
plt.show()
