"""Defect (over_data): the legend sits on top of the dense streamlines of the ocean-current streamplot."""
import matplotlib.pyplot as plt
import numpy as np

x = np.linspace(0, 100, 80)
y = np.linspace(0, 60, 50)
X, Y = np.meshgrid(x, y)
# double-gyre flow field
U = -np.pi * np.sin(np.pi * X / 50) * np.cos(np.pi * Y / 60) * 0.3
V = np.pi * np.cos(np.pi * X / 50) * np.sin(np.pi * Y / 60) * 0.25

fig, ax = plt.subplots(figsize=(8, 5), layout="constrained")
ax.streamplot(X, Y, U, V, density=2.2, color="steelblue", linewidth=0.8)
ax.plot([20, 45, 70], [15, 40, 22], "o", color="darkorange", ms=8, label="Drifter release")
ax.plot([50], [30], "k*", ms=12, label="Mooring M3")
ax.set_xlabel("Along-shore distance (km)")
ax.set_ylabel("Cross-shore distance (km)")
ax.set_title("Modelled surface currents, double-gyre basin")
ax.legend(loc="center left", bbox_to_anchor=(0.3, 0.6), fontsize=11, framealpha=1)
plt.show()
