"""Defect (over_data): the rain-gauge legend is forced into the middle of the radar rainfall pcolormesh."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(31)
x = np.linspace(0, 60, 61)
y = np.linspace(0, 40, 41)
XC, YC = np.meshgrid((x[:-1] + x[1:]) / 2, (y[:-1] + y[1:]) / 2)
rain = 25 * np.exp(-((XC - 30) ** 2 / 300 + (YC - 20) ** 2 / 80)) + rng.gamma(1.0, 1.0, XC.shape)

fig, ax = plt.subplots(figsize=(7.5, 5), layout="constrained")
pm = ax.pcolormesh(x, y, rain, cmap="YlGnBu")
ax.plot([8, 22, 47], [30, 12, 33], "r^", ms=9, label="Tipping-bucket gauge")
ax.plot([35, 52], [8, 16], "ks", ms=7, label="Weighing gauge")
ax.set_xlabel("Distance east of radar (km)")
ax.set_ylabel("Distance north of radar (km)")
ax.set_title("Radar-estimated rainfall, 14:00–15:00 UTC")
fig.colorbar(pm, ax=ax, label="Rain rate (mm/h)")
ax.legend(loc="center", fontsize=11)
plt.show()
