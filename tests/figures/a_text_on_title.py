"""Defect (text_text): the ax.text note about the sensor swap is written on top of the axes title.

Indoor CO2 in a classroom over a school day.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(13)
t = np.linspace(8, 16, 200)
co2 = 450 + 900 * ((t > 8.5) & (t < 12)) * (t - 8.5) / 3.5 + 600 * ((t > 13) & (t < 15.5)) \
    + rng.normal(0, 15, t.size)

fig = plt.figure(figsize=(6, 4), dpi=150)
ax = fig.add_subplot()
ax.plot(t, co2, color="tab:brown")
ax.axhline(1000, ls="--", color="0.5")
ax.set_xlabel("Time of day (h)")
ax.set_ylabel("CO$_2$ (ppm)")
ax.set_title("Classroom 2B, 12 October")
ax.text(0.5, 1.02, "sensor replaced 9:40", transform=ax.transAxes, ha="center", va="bottom")
fig.tight_layout()
plt.show()
