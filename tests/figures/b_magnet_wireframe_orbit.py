"""Clean: a magnetic potential well as a wireframe with a trapped particle's path drawn as a 3D line."""
import matplotlib.pyplot as plt
import numpy as np

x = np.linspace(-2, 2, 30)
X, Y = np.meshgrid(x, x)
U = 0.5 * (X**2 + 2 * Y**2)
t = np.linspace(0, 30, 1500)
px, py = 1.5 * np.cos(t), 1.0 * np.sin(1.4 * t)
pz = 0.5 * (px**2 + 2 * py**2) + 0.2

fig = plt.figure(figsize=(7, 6), layout="constrained")
ax = fig.add_subplot(projection="3d")
ax.plot_wireframe(X, Y, U, rstride=2, cstride=2, color="0.55", linewidth=0.6)
ax.plot(px, py, pz, color="tab:red", lw=1.2, label="Ion trajectory")
ax.set_xlabel("x (mm)")
ax.set_ylabel("y (mm)")
ax.set_zlabel("Potential energy (meV)")
ax.set_title("Penning-trap potential and ion orbit")
ax.legend(loc="upper left")
plt.show()
