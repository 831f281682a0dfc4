"""Clean: an emission spectrum with a zoom inset on the doublet, linked with indicate_inset_zoom."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(21)
wl = np.linspace(400, 700, 3000)


def line(c, a, w):
    return a * np.exp(-((wl - c) / w) ** 2)


spec = line(486.1, 0.35, 0.4) + line(589.0, 1.0, 0.15) + line(589.6, 0.6, 0.15) + line(656.3, 0.8, 0.5)
spec += rng.normal(0, 0.01, wl.size)

fig, ax = plt.subplots(figsize=(8, 4.5), layout="constrained")
ax.plot(wl, spec, lw=0.8, color="k")
ax.set_ylim(-0.1, 1.2)
ax.set_xlabel("Wavelength (nm)")
ax.set_ylabel("Intensity (arb. units)")
ax.set_title("Discharge lamp emission spectrum")
axin = ax.inset_axes([0.04, 0.45, 0.26, 0.42], xlim=(588.4, 590.2), ylim=(-0.05, 1.1))
axin.plot(wl, spec, lw=0.8, color="k")
axin.set_title("Na D doublet", fontsize=9)
axin.set_xticks([588.5, 589.0, 589.5, 590.0])
axin.tick_params(labelsize=7)
ax.indicate_inset_zoom(axin, edgecolor="tab:orange")
plt.show()
