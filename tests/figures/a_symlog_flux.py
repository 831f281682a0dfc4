"""Clean: net CO2 flux of a peat bog on a symlog axis, sign changes between day and night.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(77)
hour = np.arange(0, 72, 0.5)
flux = -40 * np.clip(np.sin((hour - 6) / 24 * 2 * np.pi), 0, None) ** 2 + 3 + rng.normal(0, 0.8, hour.size)

fig, ax = plt.subplots(figsize=(7, 4), layout="constrained")
ax.plot(hour, flux, color="tab:green", lw=1.3)
ax.axhline(0, color="0.4", lw=0.8)
ax.set_yscale("symlog", linthresh=1)
ax.set_ylim(-100, 100)
ax.set_xlabel("Hours since 1 June 00:00")
ax.set_ylabel("Net CO$_2$ flux (µmol m$^{-2}$ s$^{-1}$)")
ax.set_title("Eddy covariance tower, Flakkerud bog")
plt.show()
