"""Defect (element_element): the add_axes summary panel reaches past the right-hand axes, whose frame strikes through its title.

Battery cycling: capacity fade per cell and a summary panel of cycle life.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(27)
cycles = np.arange(0, 800, 10)
fig, (ax1, ax2) = plt.subplots(1, 2, figsize=(8, 3.8))
life = []
for cell in range(4):
    k = rng.uniform(3e-4, 6e-4)
    cap = 100 * np.exp(-k * cycles) + rng.normal(0, 0.3, cycles.size)
    ax1.plot(cycles, cap, label=f"cell {cell + 1}")
    life.append(np.log(100 / 80) / k)
ax1.set_xlabel("Cycle")
ax1.set_ylabel("Capacity retention (%)")
ax1.set_title("Capacity fade")
ax1.legend(loc="lower left")
ax2.plot(cycles, np.gradient(100 * np.exp(-4e-4 * cycles), cycles), color="k")
ax2.set_xlabel("Cycle")
ax2.set_ylabel("Fade rate (%/cycle)")
ax2.set_title("Mean fade rate")
summary = fig.add_axes([0.78, 0.2, 0.19, 0.33])
summary.bar(range(1, 5), life, color="tab:gray")
summary.set_title("Cycles to 80 %", fontsize=9)
fig.subplots_adjust(wspace=0.35, bottom=0.14)
plt.show()
