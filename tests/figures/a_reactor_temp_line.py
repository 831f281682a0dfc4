"""Clean: hourly coolant outlet temperature of one reactor loop, with markers.

Single series over a 24 h shift; the constrained layout keeps the labels inside.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(11)
hours = np.arange(0, 24)
temp = 312 + 4 * np.sin(hours / 24 * 2 * np.pi) + rng.normal(0, 0.6, hours.size)

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.plot(hours, temp, marker="o", markersize=4, color="tab:red", label="loop B outlet")
ax.set_xlabel("Time since shift start (h)")
ax.set_ylabel("Coolant temperature (°C)")
ax.set_title("Reactor loop B, 14 March")
ax.set_xlim(-0.5, 23.5)
ax.set_ylim(305, 320)
ax.legend(loc="lower left")
ax.grid(alpha=0.3)
plt.show()
