"""Defect (over_data): the legend in the upper right covers the dense 3000-point scatter.

Soil samples: clay fraction vs water retention, colour-coded by land use.
"""
import matplotlib.pyplot as plt
import numpy as np

plt.style.use("seaborn-v0_8-whitegrid")

rng = np.random.default_rng(88)
fig, ax = plt.subplots(figsize=(6, 4.5), layout="constrained")
for use, shift in (("arable", 0.0), ("pasture", 4.0), ("forest", 8.0)):
    clay = rng.uniform(5, 55, 1000)
    retention = 8 + 0.55 * clay + shift + rng.normal(0, 3, 1000)
    ax.scatter(clay, retention, s=8, alpha=0.6, label=use)
ax.set_xlim(5, 55)
ax.set_xlabel("Clay fraction (%)")
ax.set_ylabel("Water retention at field capacity (%)")
ax.set_title("Regional soil survey, 3000 cores")
ax.legend(loc="upper right", markerscale=2, frameon=True)
plt.show()
