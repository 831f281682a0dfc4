"""Clean: monthly sea-surface temperature heatmap with the value written in each cell and a colorbar on the right."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(11)
months = ["Jan", "Feb", "Mar", "Apr", "May", "Jun"]
buoys = ["B-01", "B-02", "B-03", "B-04", "B-05"]
# seasonal warming plus a small per-buoy offset
sst = 14 + np.arange(6)[None, :] * 1.3 + rng.normal(0, 0.6, (5, 1)) + rng.normal(0, 0.2, (5, 6))

fig, ax = plt.subplots(figsize=(7, 4.5), layout="constrained")
im = ax.imshow(sst, cmap="coolwarm", aspect="auto")
for i in range(sst.shape[0]):
    for j in range(sst.shape[1]):
        ax.text(j, i, f"{sst[i, j]:.1f}", ha="center", va="center", fontsize=9)
ax.set_xticks(range(6), labels=months)
ax.set_yticks(range(5), labels=buoys)
ax.set_xlabel("Month (2023)")
ax.set_ylabel("Mooring buoy")
ax.set_title("Mean sea-surface temperature")
fig.colorbar(im, ax=ax, label="SST (°C)")
plt.show()
