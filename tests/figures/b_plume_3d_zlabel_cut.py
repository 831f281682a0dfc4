"""Defect (clipping): the z-axis label of the 3D plume-concentration surface is cut off at the right edge."""
import matplotlib.pyplot as plt
import numpy as np

x = np.linspace(0, 500, 50)
y = np.linspace(-100, 100, 40)
X, Y = np.meshgrid(x, y)
sigma_y = 0.08 * X + 5
C = 1e3 / sigma_y * np.exp(-(Y**2) / (2 * sigma_y**2))  # Gaussian plume, ground level

fig = plt.figure(figsize=(6, 5), dpi=100)
ax = fig.add_axes([0.12, 0.08, 0.95, 0.84], projection="3d")
ax.plot_surface(X, Y, C, cmap="YlOrRd", linewidth=0)
ax.set_xlabel("Downwind distance (m)")
ax.set_ylabel("Crosswind distance (m)")
ax.set_zlabel("Concentration (µg/m³)", fontsize=12)
ax.set_title("Ground-level plume from stack S2")
plt.show()
