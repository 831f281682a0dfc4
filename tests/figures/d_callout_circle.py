"""Clean: an unfilled circle added with add_artist rings an outlier, next to a legend in an empty corner."""
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.patches import Circle

rng = np.random.default_rng(21)
x = rng.uniform(0, 10, 60)
y = 2 * x + rng.normal(0, 1.5, 60)
y[17] = 5
fig, ax = plt.subplots(figsize=(5, 4), layout="constrained")
ax.scatter(x, y, s=14, label="bench runs")
ax.plot([0, 10], [0, 20], color="k", lw=1, label="fit")
ax.add_artist(Circle((x[17], y[17]), 0.6, fill=False, color="tab:red", lw=1.5))
ax.legend(loc="upper left")
ax.set_xlabel("Load (kN)")
ax.set_ylabel("Deflection (mm)")
plt.show()
