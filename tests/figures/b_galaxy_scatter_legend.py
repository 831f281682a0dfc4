"""Defect (over_data): the legend is forced onto the dense centre of a 3000-point colour–magnitude scatter."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(77)
n = 3000
red = rng.random(n) < 0.45
mass = np.where(red, rng.normal(10.6, 0.4, n), rng.normal(9.8, 0.6, n))
colour = np.where(red, 2.3 + 0.1 * (mass - 10.5), 1.5 + 0.2 * (mass - 10)) + rng.normal(0, 0.15, n)

fig, ax = plt.subplots(figsize=(6.5, 5), dpi=100, layout="constrained")
ax.scatter(mass[red], colour[red], s=5, c="firebrick", alpha=0.6, label="Red sequence")
ax.scatter(mass[~red], colour[~red], s=5, c="royalblue", alpha=0.6, label="Blue cloud")
ax.set_xlabel("log$_{10}$ stellar mass (M$_\\odot$)")
ax.set_ylabel("u − r colour (mag)")
ax.set_title("Galaxy colour–mass diagram (z < 0.1)")
ax.legend(loc="center", markerscale=4, fontsize=11, framealpha=1)
plt.show()
