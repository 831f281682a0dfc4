"""Clean: a terrain elevation model drawn with plot_surface and a colorbar next to the 3D axes."""
import matplotlib.pyplot as plt
import numpy as np

x = np.linspace(0, 10, 60)
y = np.linspace(0, 8, 50)
X, Y = np.meshgrid(x, y)
Z = 400 + 250 * np.exp(-((X - 6) ** 2 + (Y - 4) ** 2) / 4) + 80 * np.sin(X / 1.5) * np.cos(Y / 2)

fig = plt.figure(figsize=(8, 6), layout="constrained")
ax = fig.add_subplot(projection="3d")
surf = ax.plot_surface(X, Y, Z, cmap="terrain", linewidth=0, antialiased=True)
ax.set_xlabel("Easting (km)")
ax.set_ylabel("Northing (km)")
ax.set_zlabel("Elevation (m)")
ax.set_title("Digital elevation model, catchment 7")
fig.colorbar(surf, ax=ax, shrink=0.6, pad=0.1, label="Elevation (m a.s.l.)")
plt.show()
