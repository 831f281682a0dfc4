"""Defect (element_element, over_data): the colorbar axes added with fig.add_axes sits on top of the detector hit-map image, and its black labels lie on the dark image."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(23)
# pixel hits: beam spot near the centre plus flat noise
x = rng.normal(32, 6, 40000)
y = rng.normal(30, 4, 40000)
hits, _, _ = np.histogram2d(y, x, bins=64, range=[[0, 64], [0, 64]])
hits += rng.poisson(2, hits.shape)

fig, ax = plt.subplots(figsize=(6, 5), dpi=100)
im = ax.imshow(hits, origin="lower", cmap="viridis")
ax.set_xlabel("Pixel column")
ax.set_ylabel("Pixel row")
ax.set_title("Silicon tracker layer 2: hit map")
# meant to sit beside the image, but the coordinates land inside it
cax = fig.add_axes([0.62, 0.2, 0.04, 0.6])
fig.colorbar(im, cax=cax, label="Hits per pixel")
plt.show()
