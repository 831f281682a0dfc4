"""Defect (clipping): the AnchoredText station note is anchored past the top-left corner and cut by the figure edge."""
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.offsetbox import AnchoredText

rng = np.random.default_rng(15)
days = np.arange(1, 366)
snow = np.clip(80 * np.cos(2 * np.pi * (days - 40) / 365) + rng.normal(0, 6, days.size), 0, None)

fig, ax = plt.subplots(figsize=(8, 4), dpi=100)
ax.fill_between(days, snow, color="lightsteelblue")
ax.plot(days, snow, color="steelblue", lw=0.8)
ax.set_xlim(1, 365)
ax.set_xlabel("Day of year")
ax.set_ylabel("Snow depth (cm)")
ax.set_title("Snow course SC-12, winter 2022/23")
note = AnchoredText("Station SC-12, 1840 m a.s.l.\nultrasonic sensor", loc="lower left",
                    bbox_to_anchor=(-0.25, 1.0), bbox_transform=ax.transAxes, prop={"size": 10})
ax.add_artist(note)
plt.show()
