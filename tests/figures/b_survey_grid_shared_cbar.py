"""Clean: four gravity-survey grids drawn with pcolormesh sharing one colorbar."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(5)
e = np.linspace(0, 4, 41)   # easting edges (km)
n = np.linspace(0, 3, 31)   # northing edges (km)
ec, nc = np.meshgrid((e[:-1] + e[1:]) / 2, (n[:-1] + n[1:]) / 2)

fig, axs = plt.subplots(2, 2, figsize=(8, 6), sharex=True, sharey=True, layout="constrained")
for k, ax in enumerate(axs.flat):
    x0, y0 = 1 + 0.6 * k, 1.5 + 0.3 * np.sin(k)
    anomaly = 3 * np.exp(-((ec - x0) ** 2 + (nc - y0) ** 2) / 0.5) + rng.normal(0, 0.15, ec.shape)
    pm = ax.pcolormesh(e, n, anomaly, cmap="magma", vmin=-0.5, vmax=3.5)
    ax.set_title(f"Line block {k + 1}")
for ax in axs[1]:
    ax.set_xlabel("Easting (km)")
for ax in axs[:, 0]:
    ax.set_ylabel("Northing (km)")
fig.suptitle("Bouguer gravity anomaly, 2022 field season")
fig.colorbar(pm, ax=axs, label="Anomaly (mGal)", shrink=0.9)
plt.show()
