"""Clean: flow past a cylinder as a speed-coloured streamplot with a colorbar in a make_axes_locatable cax."""
import matplotlib.pyplot as plt
import numpy as np
from mpl_toolkits.axes_grid1 import make_axes_locatable

x = np.linspace(-3, 3, 120)
y = np.linspace(-2, 2, 80)
X, Y = np.meshgrid(x, y)
Z = X + 1j * Y
W = 1 - 1 / Z**2                    # complex velocity, potential flow, R = 1
U, V = W.real, -W.imag
inside = np.abs(Z) < 1
U[inside], V[inside] = np.nan, np.nan
speed = np.hypot(U, V)

fig, ax = plt.subplots(figsize=(7.5, 4.5), dpi=100)
sp = ax.streamplot(X, Y, U, V, color=speed, cmap="cividis", density=1.4)
ax.add_patch(plt.Circle((0, 0), 1, color="0.6"))
ax.set_aspect("equal")
ax.set_xlabel("x / R")
ax.set_ylabel("y / R")
ax.set_title("Potential flow past a cylinder")
cax = make_axes_locatable(ax).append_axes("right", size="4%", pad=0.1)
fig.colorbar(sp.lines, cax=cax, label="|u| / U$_\\infty$")
fig.tight_layout()
plt.show()
