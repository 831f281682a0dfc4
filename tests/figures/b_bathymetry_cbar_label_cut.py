"""Defect (clipping): the colorbar label of the bathymetry contour map is cut off at the right edge of the figure."""
import matplotlib.pyplot as plt
import numpy as np

lon = np.linspace(-5, 5, 120)
lat = np.linspace(40, 48, 100)
LON, LAT = np.meshgrid(lon, lat)
# a shelf sloping down into a basin with a seamount
depth = -200 - 3000 / (1 + np.exp(-(LON + 1))) + 1800 * np.exp(-((LON - 2.5) ** 2 + (LAT - 45) ** 2) / 0.8)

fig = plt.figure(figsize=(6, 4.5), dpi=100)
ax = fig.add_axes([0.12, 0.12, 0.68, 0.78])
cf = ax.contourf(LON, LAT, depth, levels=12, cmap="Blues_r")
cs = ax.contour(LON, LAT, depth, levels=[-3000, -2000, -1000], colors="k", linewidths=0.7)
ax.clabel(cs, fmt="%d m", fontsize=8)
ax.set_xlabel("Longitude (°E)")
ax.set_ylabel("Latitude (°N)")
ax.set_title("Survey area bathymetry")
cax = fig.add_axes([0.82, 0.12, 0.035, 0.78])
fig.colorbar(cf, cax=cax).set_label("Seafloor depth below mean sea level (m)", fontsize=12, labelpad=14)
plt.show()
