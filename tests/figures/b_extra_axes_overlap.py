"""Defect (element_element): a marginal histogram axes added with fig.add_axes overlaps the neighbouring right-hand subplot."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(17)
load = np.linspace(0, 50, 26)
sg3 = 12.5 * load + rng.normal(0, 15, load.size)
sg4 = 9.8 * load + rng.normal(0, 25, load.size)

fig, (ax1, ax2) = plt.subplots(1, 2, figsize=(10, 4.5))
for ax, strain, name in [(ax1, sg3, "SG-3"), (ax2, sg4, "SG-4")]:
    ax.plot(load, strain, "o", ms=4)
    ax.plot(load, np.polyval(np.polyfit(load, strain, 1), load), "k-")
    ax.set_xlabel("Applied load (kN)")
    ax.set_ylabel("Strain (µε)")
    ax.set_title(f"Gauge {name} response")
# marginal histogram of SG-3 strain, squeezed in beside the left panel
axm = fig.add_axes([0.485, 0.11, 0.1, 0.77], sharey=ax1)
axm.hist(sg3, bins=10, orientation="horizontal", color="tab:gray")
axm.tick_params(labelleft=False, labelbottom=False)
plt.show()
