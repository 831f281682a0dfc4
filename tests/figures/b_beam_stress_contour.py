"""Clean: bending stress in a cantilever beam as filled contours with labelled contour lines and a colorbar below."""
import matplotlib.pyplot as plt
import numpy as np

L, h = 2.0, 0.2                    # beam length and depth (m)
x = np.linspace(0, L, 200)
y = np.linspace(-h / 2, h / 2, 60)
X, Y = np.meshgrid(x, y)
P, I = 5e3, 0.05 * h**3 / 12       # tip load (N), second moment (m^4)
sigma = -P * (L - X) * Y / I / 1e6  # MPa

fig, ax = plt.subplots(figsize=(8, 4), layout="constrained")
cf = ax.contourf(X, Y * 100, sigma, levels=15, cmap="RdBu_r")
cs = ax.contour(X, Y * 100, sigma, levels=[-40, -20, 0, 20, 40], colors="k", linewidths=0.8)
ax.clabel(cs, fmt="%d MPa", fontsize=8)
ax.set_xlabel("Distance from clamp (m)")
ax.set_ylabel("Height above neutral axis (cm)")
ax.set_title("Cantilever beam: bending stress under 5 kN tip load")
fig.colorbar(cf, ax=ax, location="bottom", label="Axial stress σ$_x$ (MPa)", shrink=0.8)
plt.show()
