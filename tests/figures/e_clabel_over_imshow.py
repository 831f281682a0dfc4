"""Clean: inline-labelled contours of a gravity anomaly drawn over a smooth image of the same field."""
import matplotlib.pyplot as plt
import numpy as np

x = np.linspace(-5, 5, 300)
X, Y = np.meshgrid(x, x)
g = 12 * np.exp(-((X - 1) ** 2 + (Y + 0.5) ** 2) / 3) - 7 * np.exp(-((X + 2) ** 2 + (Y - 2) ** 2) / 2)

fig, ax = plt.subplots(figsize=(6, 5), layout="constrained")
im = ax.imshow(g, extent=(-5, 5, -5, 5), origin="lower", cmap="coolwarm", vmin=-12, vmax=12)
cs = ax.contour(X, Y, g, levels=[-6, -3, 3, 6, 9], colors="k", linewidths=0.8)
ax.clabel(cs, inline=True, fontsize=9, fmt="%d mGal")
fig.colorbar(im, ax=ax, label="Bouguer anomaly (mGal)")
ax.set_xlabel("Easting (km)")
ax.set_ylabel("Northing (km)")
ax.set_title("Survey block 7 gravity")
plt.show()
