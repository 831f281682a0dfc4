"""Defect (element_element): the hand-placed colour bar axes at the right covers the right-hand strip of the afternoon soil-moisture map."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(49)
x = np.linspace(0, 2, 41)
y = np.linspace(0, 1.5, 31)
X, Y = np.meshgrid(x, y)
base = 0.32 - 0.08 * Y + 0.05 * np.sin(3 * X)

fig, (am, pm) = plt.subplots(1, 2, figsize=(8, 4), sharey=True)
for ax, drying, when in [(am, 0.0, "06:00"), (pm, 0.06, "15:00")]:
    theta = base - drying * X / 2 + 0.01 * rng.standard_normal(X.shape)
    mesh = ax.pcolormesh(X, Y, theta, cmap="YlGnBu", vmin=0.15, vmax=0.4)
    ax.set_title(f"Plot B soil moisture, {when}")
    ax.set_xlabel("Easting (km)")
am.set_ylabel("Northing (km)")
# squeezed in at the right edge to save figure width
cax = fig.add_axes((0.875, 0.15, 0.02, 0.7))
fig.colorbar(mesh, cax=cax)
plt.show()
