"""Defect (clipping): the annotation on the last dose point runs past the right edge of the figure.

Enzyme activity vs inhibitor dose, mean ± SD of triplicates.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(3)
dose = np.array([0, 1, 2, 5, 10, 20, 50])
activity = 100 / (1 + dose / 6.0) + rng.normal(0, 2, dose.size)
sd = rng.uniform(3, 7, dose.size)

fig, ax = plt.subplots(figsize=(6, 4))
ax.errorbar(dose, activity, yerr=sd, fmt="s-", capsize=4, color="tab:purple")
ax.set_xlabel("Inhibitor concentration (µM)")
ax.set_ylabel("Residual activity (%)")
ax.set_title("Inhibition assay, compound KX-7")
ax.annotate("residual activity at saturation", xy=(dose[-1], activity[-1]),
            xytext=(30, 0), textcoords="offset points", va="center",
            arrowprops={"arrowstyle": "->"})
plt.show()
