"""Clean: mean wheat yield per fertiliser treatment, values on the bar ends.
"""
import matplotlib.pyplot as plt
import numpy as np

treatments = ["control", "N low", "N high", "N+P", "N+P+K"]
yield_t = np.array([4.2, 5.1, 6.0, 6.4, 6.9])

fig, ax = plt.subplots(figsize=(6, 4), dpi=100, layout="constrained")
bars = ax.bar(treatments, yield_t, color="tab:olive", width=0.6)
ax.bar_label(bars, fmt="%.1f", padding=3)
ax.set_ylabel("Grain yield (t/ha)")
ax.set_xlabel("Fertiliser treatment")
ax.set_title("Field trial 2023, plot means")
ax.set_ylim(0, 8)
plt.show()
