"""Clean: survey control points drawn as plus markers, each lettered just beside its marker."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(60)
names = ["A", "B", "C", "D", "E"]
east = np.array([120.0, 245.0, 310.0, 180.0, 395.0])
north = np.array([80.0, 140.0, 60.0, 210.0, 175.0])
# traverse between the control points, with a little closure error
path_e = np.r_[east, east[0]] + rng.normal(0, 2, 6)
path_n = np.r_[north, north[0]] + rng.normal(0, 2, 6)

fig, ax = plt.subplots(figsize=(6, 5))
ax.plot(path_e, path_n, color="0.6", lw=1, zorder=1)
ax.plot(east, north, "+", ms=12, mew=2, color="C3", zorder=2)
for name, e, n in zip(names, east, north):
    # A has both traverse legs leaving to its upper right, so letter it on the left
    offset = (-17, 5) if name == "A" else (7, 7)
    ax.annotate(name, (e, n), xytext=offset, textcoords="offset points", fontsize=12, fontweight="bold")
ax.set_aspect("equal")
ax.set_xlim(80, 440)
ax.set_ylim(30, 250)
ax.set_xlabel("Easting (m)")
ax.set_ylabel("Northing (m)")
ax.set_title("Site control traverse")
plt.show()
