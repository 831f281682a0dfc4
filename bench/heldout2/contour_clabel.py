import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(12)

# steady-state temperature rise around buried heat sources in a soil block
x = np.linspace(0, 4.0, 300)
z = np.linspace(0, 2.5, 200)
X, Z = np.meshgrid(x, z)

sources = [(1.0, 1.2, 14.0), (2.1, 0.9, 22.0), (3.2, 1.5, 9.0)]
temp_rise = np.zeros_like(X)
for xs, zs, q in sources:
    r = np.hypot(X - xs, Z - zs) + 0.05
    r_img = np.hypot(X - xs, Z + zs)
    temp_rise += q / (2 * np.pi) * np.log(r_img / r)
temp_rise += rng.normal(0, 0.02, X.shape)

fig, ax = plt.subplots(figsize=(6.5, 3.6))
levels = np.arange(0, temp_rise.max(), 0.5)
filled = ax.contourf(X, Z, temp_rise, levels=levels, cmap="inferno")
lines = ax.contour(X, Z, temp_rise, levels=levels, colors="white", linewidths=0.5)
ax.clabel(lines, fmt="%.1f K", fontsize=8)

for xs, zs, _ in sources:
    ax.plot(xs, zs, marker="o", color="cyan", mec="black")

ax.invert_yaxis()
ax.set_xlabel("Distance along trench (m)")
ax.set_ylabel("Depth below surface (m)")
ax.set_title("Soil temperature rise, 3-cable arrangement")

cbar = fig.colorbar(filled, ax=ax, format="%.2f")
cbar.set_label("Steady-state temperature rise above undisturbed soil (K)", fontsize=12)

fig.savefig("cable_trench_temperature.png", dpi=200)
