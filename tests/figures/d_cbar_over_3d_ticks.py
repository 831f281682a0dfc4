"""Defect (element_element): the colour bar is placed over the z tick labels of the 3D surface."""
import matplotlib.pyplot as plt
import numpy as np

x, y = np.meshgrid(np.linspace(-3, 3, 40), np.linspace(-3, 3, 40))
z = np.exp(-(x ** 2 + y ** 2) / 3) * 40
fig = plt.figure(figsize=(6, 5))
ax = fig.add_subplot(projection="3d")
surface = ax.plot_surface(x, y, z, cmap="viridis")
ax.set_title("Dose profile")
fig.colorbar(surface, cax=fig.add_axes((0.82, 0.3, 0.035, 0.45)), label="Dose (mGy)")
plt.show()
