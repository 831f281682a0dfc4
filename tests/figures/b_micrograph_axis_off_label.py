"""Clean: a micrograph drawn with the axes switched off and a panel label placed to its left with ha="right"."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(36)
yy, xx = np.mgrid[0:200, 0:200]
img = np.zeros((200, 200))
for cx, cy, r in rng.uniform([20, 20, 6], [180, 180, 16], (25, 3)):
    img += np.exp(-((xx - cx) ** 2 + (yy - cy) ** 2) / r**2)  # grains as blurred discs
img += rng.normal(0, 0.05, img.shape)

fig, ax = plt.subplots(figsize=(6, 5), dpi=100)
fig.subplots_adjust(left=0.25, right=0.95, top=0.9, bottom=0.05)
ax.imshow(img, cmap="gray")
ax.set_axis_off()
ax.set_title("Sintered alumina, SEM, 5 kV")
ax.text(-12, 100, "Sample A3\n1450 °C, 2 h", ha="right", va="center", fontsize=11)
plt.show()
