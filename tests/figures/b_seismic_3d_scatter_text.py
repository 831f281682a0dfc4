"""Clean: microseismic event locations as a 3D scatter with the injection point marked and labelled above it."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(12)
ev = rng.normal([5, 5, 2.5], [1.6, 1.0, 0.5], (400, 3))
mag = rng.uniform(-2, 0.5, 400)

fig = plt.figure(figsize=(7, 6), layout="constrained")
ax = fig.add_subplot(projection="3d")
sc = ax.scatter(ev[:, 0], ev[:, 1], ev[:, 2], c=mag, s=10, cmap="viridis", depthshade=False)
ax.set(xlim=(0, 10), ylim=(0, 10), zlim=(0, 10))
ax.scatter([5], [5], [5], color="red", s=60, marker="*")
ax.text(5, 5, 5.8, "injection point", color="red", fontsize=10, ha="center")
ax.set_xlabel("East (hm)")
ax.set_ylabel("North (hm)")
ax.set_zlabel("Depth above datum (hm)")
ax.set_title("Microseismic events during stage 4")
fig.colorbar(sc, ax=ax, shrink=0.55, pad=0.08, label="Moment magnitude")
plt.show()
