"""Defect (text_text): two hand-placed tick labels touch, with no blank pixel between, and read as one number."""
import matplotlib.pyplot as plt
import numpy as np

fig, ax = plt.subplots(figsize=(5, 3), dpi=100, layout="constrained")
ax.plot(np.linspace(0, 100, 50), np.linspace(0, 1, 50))
ax.set_xticks([0, 50, 100, 106.6], ["0", "50", "100", "110"])
ax.set_xlim(0, 120)
ax.set_xlabel("Depth (m)")
plt.show()
