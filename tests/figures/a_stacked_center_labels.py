"""Clean: stacked bars of lab time per instrument with shares written inside each segment.
"""
import matplotlib.pyplot as plt
import numpy as np

instruments = ["NMR", "LC-MS", "XRD", "SEM"]
booked = {
    "internal": np.array([52, 61, 38, 44]),
    "external": np.array([28, 22, 30, 35]),
    "maintenance": np.array([12, 9, 14, 10]),
}

fig, ax = plt.subplots(figsize=(6.5, 4.5), dpi=72, layout="constrained")
bottom = np.zeros(len(instruments))
for name, hours in booked.items():
    bars = ax.bar(instruments, hours, 0.6, bottom=bottom, label=name)
    ax.bar_label(bars, label_type="center", color="white", fontsize=9)
    bottom += hours
ax.set_ylabel("Hours booked per month")
ax.set_title("Core facility usage, Q2")
ax.set_ylim(0, 140)
ax.legend(loc="upper right", ncols=3, fontsize=9)
plt.show()
