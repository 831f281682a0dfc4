"""Clean: imshow heatmap of mean queue wait per clinic and weekday with each value written in its cell."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(59)
clinics = ["Northgate", "Riverside", "Old Town", "Harbour", "Hillcrest"]
days = ["Mon", "Tue", "Wed", "Thu", "Fri"]
wait = rng.gamma(4, 6, (len(clinics), len(days))) + np.array([18, 6, 2, 4, 12])

fig, ax = plt.subplots(figsize=(6.5, 4.8), layout="constrained")
im = ax.imshow(wait, cmap="viridis")
for i in range(len(clinics)):
    for j in range(len(days)):
        # light text on the dark end of viridis, dark text on the light end
        colour = "w" if im.norm(wait[i, j]) < 0.6 else "k"
        ax.text(j, i, f"{wait[i, j]:.0f}", ha="center", va="center", color=colour)
ax.set_xticks(range(len(days)), days)
ax.set_yticks(range(len(clinics)), clinics)
fig.colorbar(im, ax=ax, label="Mean wait (min)")
ax.set_title("Walk-in waiting time, March")
plt.show()
