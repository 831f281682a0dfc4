"""Clean: step histograms of hit positions along two scintillator bars; the lower-right legend covers only the foot of their shared right edge."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(55)
bars = {"Bar 3 (top)": rng.uniform(0, 200, 4000),
        "Bar 4 (bottom)": rng.uniform(0, 200, 3300)}

fig, ax = plt.subplots(figsize=(6.5, 4.5))
for name, pos in bars.items():
    ax.hist(pos, bins=40, range=(0, 200), histtype="step", lw=1.5, label=name)
ax.set_ylim(0, 130)
ax.set_xlabel("Reconstructed hit position (cm)")
ax.set_ylabel("Hits per 5 cm")
ax.set_title("Cosmic-ray run 1187")
ax.legend(loc="lower right", framealpha=1)
plt.show()
