"""Defect (clipping): the legend anchored at (1.05, 1) runs off the right edge of the figure.

Strain on eight gauges along a bridge girder during a load test.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(23)
t = np.linspace(0, 120, 400)
fig, ax = plt.subplots(figsize=(6, 4))
for i in range(8):
    load = np.clip((t - 20) / 60, 0, 1)
    strain = (40 + 12 * i) * load + rng.normal(0, 2, t.size)
    ax.plot(t, strain, lw=1.2, label=f"gauge G{i + 1} ({2.5 * i:.1f} m)")
ax.set_xlabel("Time (s)")
ax.set_ylabel("Microstrain (µε)")
ax.set_title("Girder strain during static load test")
ax.legend(bbox_to_anchor=(1.05, 1), loc="upper left")
plt.show()
