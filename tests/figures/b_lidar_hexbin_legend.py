"""Defect (over_data): the legend for the fitted line sits on the dense centre of the hexbin."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(42)
h_ref = rng.uniform(2, 30, 20000)                      # surveyed canopy height (m)
h_lidar = 0.95 * h_ref + rng.normal(0, 1.5, h_ref.size)

fig, ax = plt.subplots(figsize=(6.5, 5.5), layout="constrained")
hb = ax.hexbin(h_ref, h_lidar, gridsize=45, cmap="inferno", mincnt=1)
xs = np.array([0, 32])
ax.plot(xs, 0.95 * xs, "c-", lw=2, label="Fit: h$_{lidar}$ = 0.95 h$_{ref}$")
ax.plot(xs, xs, "w--", lw=1, label="1:1 line")
ax.set_xlabel("Field-measured canopy height (m)")
ax.set_ylabel("LiDAR canopy height (m)")
ax.set_title("Airborne LiDAR vs. field plots")
fig.colorbar(hb, ax=ax, label="Plots per bin")
ax.legend(loc="center", fontsize=11, framealpha=1)
plt.show()
