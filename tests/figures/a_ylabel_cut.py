"""Defect (clipping): the y label is cut at the left edge after subplots_adjust(left=0.07).

Relative humidity inside a museum display case over a week.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(36)
hours = np.arange(0, 168, 0.5)
rh = 50 + 2.5 * np.sin(hours / 24 * 2 * np.pi) + np.cumsum(rng.normal(0, 0.05, hours.size))

fig, ax = plt.subplots(figsize=(6, 3.5), dpi=100)
ax.plot(hours, rh, color="tab:cyan")
ax.set_xlim(0, 168)
ax.set_ylim(44, 56)
ax.set_xticks(np.arange(0, 169, 24))
ax.set_xlabel("Hours since Monday 00:00")
ax.set_ylabel("Relative humidity in case 7 (%)")
ax.set_title("Display case climate, gallery 3")
fig.subplots_adjust(left=0.07, right=0.97, bottom=0.15)
plt.show()
