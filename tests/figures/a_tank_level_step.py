"""Defect (text_text): the two ax.text callouts for the fill and drain events overlap each other.

Buffer tank level logged by a PLC that only reports on change, so a step plot.
"""
import matplotlib.pyplot as plt
import numpy as np

t = np.array([0, 5, 12, 13, 20, 28, 35, 41, 50, 60])
level = np.array([2.1, 2.1, 3.8, 3.6, 3.6, 1.4, 1.4, 2.9, 2.9, 2.9])

plt.figure(figsize=(6, 4), dpi=100)
plt.step(t, level, where="post", color="tab:blue", lw=2)
plt.xlabel("Time (min)")
plt.ylabel("Tank level (m)")
plt.title("Buffer tank T-204 level")
plt.ylim(0, 5)
plt.text(8, 4.3, "refill from main line")
plt.text(13, 4.2, "operator drain started")
plt.tight_layout()
plt.show()
