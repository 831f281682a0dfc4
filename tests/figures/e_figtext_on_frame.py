"""Defect (element_element): the fig.text sample-size note "n = 480" straddles the top edge of the histogram panel, whose frame line strikes through its glyphs."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(64)
d = rng.lognormal(np.log(45), 0.35, 480)

fig, axd = plt.subplot_mosaic([["hist", "cdf"], ["seq", "seq"]], figsize=(6, 4.5), layout="constrained")
ax = axd["hist"]
ax.hist(d, bins=30, range=(0, 150), color="C2")
ax.set_xlabel("Grain diameter (µm)")
ax.set_ylabel("Grains")
ax2 = axd["cdf"]
ax2.plot(np.sort(d), np.linspace(0, 1, d.size), color="C2")
ax2.set_xlabel("Grain diameter (µm)")
ax2.set_ylabel("Cumulative fraction")
ax3 = axd["seq"]
ax3.plot(np.arange(d.size), d, ".", ms=2, color="0.4")
ax3.set_xlabel("Grain index")
ax3.set_ylabel("Diameter (µm)")
fig.suptitle("Sintered alumina, SEM grain sizes")
fig.text(0.33, 0.925, "n = 480", fontsize=9)
plt.show()
