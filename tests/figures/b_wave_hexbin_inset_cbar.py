"""Clean: wave height against period as a hexbin with a small inset colorbar in the empty upper-left corner."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(8)
tp = rng.gamma(9, 1.0, 15000) + 2                       # peak period (s)
hs = np.clip(0.25 * (tp - 2) + rng.normal(0, 0.5, tp.size), 0.1, None)

fig, ax = plt.subplots(figsize=(7, 5), layout="constrained")
hb = ax.hexbin(tp, hs, gridsize=40, bins="log", cmap="GnBu", mincnt=1)
ax.set_xlim(0, 30)
ax.set_ylim(0, 11)
ax.set_xlabel("Peak wave period T$_p$ (s)")
ax.set_ylabel("Significant wave height H$_s$ (m)")
ax.set_title("North Sea buoy records, 2010–2020")
cax = ax.inset_axes([0.06, 0.88, 0.35, 0.04])
fig.colorbar(hb, cax=cax, orientation="horizontal")
cax.set_title("Records per bin (log scale)", fontsize=8)
cax.tick_params(labelsize=7)
plt.show()
