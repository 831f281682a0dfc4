"""Defect (clipping): the hand-placed label of the 1020 hPa isobar sits on the right edge of the map, which cuts off its " hPa" and part of the last "0"."""
import matplotlib.pyplot as plt
import numpy as np

lon = np.linspace(-20, 10, 200)
lat = np.linspace(40, 65, 200)
LON, LAT = np.meshgrid(lon, lat)
# a low west of Ireland with a ridge to the south-east
p = 1016 - 22 * np.exp(-((LON + 12) ** 2 + (LAT - 56) ** 2) / 60) + 0.2 * (LON + 10) - 0.15 * (LAT - 50)

fig, ax = plt.subplots(figsize=(6.5, 5))
cs = ax.contour(LON, LAT, p, levels=np.arange(992, 1024, 4), colors="k", linewidths=0.8)
# labels dropped by hand where the isobars leave the chart
ax.clabel(cs, fmt="%d hPa", fontsize=9, manual=[(-12, 56.5), (-4, 60), (10, 50.8)])
ax.set_xlabel("Longitude (°E)")
ax.set_ylabel("Latitude (°N)")
ax.set_title("Mean sea-level pressure, 12 UTC analysis")
plt.show()
