"""Clean: each panel's title is drawn inside its axes on purpose (pad=-14)."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(9)
fig, axs = plt.subplots(1, 2, figsize=(7, 3), layout="constrained", sharey=True)
for ax, name in zip(axs, ["control", "treated"]):
    ax.plot(np.cumsum(rng.normal(0, 1, 60)), color="0.3")
    ax.set_title(name, pad=-14, fontsize=10)
    ax.set_ylim(-20, 25)
    ax.set_xlabel("Day")
axs[0].set_ylabel("Weight change (g)")
plt.show()
