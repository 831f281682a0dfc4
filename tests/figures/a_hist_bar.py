"""Clean: side-by-side histograms of particle diameters from two milling settings.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(5)
fine = rng.lognormal(np.log(12), 0.25, 600)
coarse = rng.lognormal(np.log(22), 0.25, 600)
bins = np.linspace(0, 50, 21)

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.hist([fine, coarse], bins=bins, histtype="bar", label=["mill 3000 rpm", "mill 1500 rpm"])
ax.set_xlabel("Particle diameter (µm)")
ax.set_ylabel("Count")
ax.set_title("Laser diffraction, batch 17")
ax.set_xlim(0, 50)
ax.set_ylim(0, 240)
ax.legend(loc="upper right")
plt.show()
