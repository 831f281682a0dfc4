"""Clean: subplot_mosaic of hydrogel swelling curves with shared axes and fig.supxlabel/supylabel under constrained layout.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(36)
t = np.linspace(0, 48, 25)
gels = {"2 % crosslinker": 14.0, "4 % crosslinker": 9.5, "8 % crosslinker": 6.0}
media = {"A": ("pH 7.4 (PBS)", 1.0), "B": ("pH 5.0 (acetate)", 0.6), "C": ("pH 9.0 (borate)", 1.25)}

fig, axd = plt.subplot_mosaic("AAB;AAC", figsize=(11, 6), layout="constrained",
                              sharex=True, sharey=True)
for key, (medium, scale) in media.items():
    ax = axd[key]
    for label, q_inf in gels.items():
        q = 1 + scale * q_inf * (1 - np.exp(-t / 9.0)) + rng.normal(0, 0.2, t.size)
        ax.plot(t, q, "o-", ms=3 if key == "A" else 2, lw=1, label=label)
    ax.set_title(medium, fontsize=12 if key == "A" else 10)
    ax.grid(True, lw=0.3)
axd["A"].set_ylim(0, 20)
axd["A"].legend(loc="upper left", ncols=3, fontsize=9, frameon=False)
fig.supxlabel("Immersion time (h)")
fig.supylabel("Swelling ratio Q (w/w)")
fig.suptitle("Free swelling of PEGDA hydrogels at 37 °C")
plt.show()
