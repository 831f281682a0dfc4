"""Clean: a dose-response scatter with a large translucent rotated DRAFT watermark across it."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(53)
dose = np.repeat(np.logspace(-2, 2, 9), 4)
resp = 100 / (1 + (1.5 / dose) ** 1.2) + rng.normal(0, 5, dose.size)
grid = np.logspace(-2, 2, 200)

fig, ax = plt.subplots(figsize=(6.5, 4.5))
ax.semilogx(dose, resp, "o", ms=5, alpha=0.8)
ax.semilogx(grid, 100 / (1 + (1.5 / grid) ** 1.2), color="C1")
ax.set_xlabel("Compound 7c concentration (µM)")
ax.set_ylabel("Inhibition (%)")
ax.set_title("HEK293 viability assay, n = 4")
ax.text(0.5, 0.5, "DRAFT", transform=ax.transAxes, fontsize=70, color="0.5",
        alpha=0.3, rotation=30, ha="center", va="center")
plt.show()
