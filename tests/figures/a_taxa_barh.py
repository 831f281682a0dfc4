"""Clean: horizontal bars of bird species counted at a wetland survey point, counts at the bar ends.
"""
import matplotlib.pyplot as plt
import numpy as np

species = ["Mallard", "Coot", "Grey heron", "Teal", "Little grebe", "Moorhen"]
counts = np.array([48, 35, 7, 22, 11, 16])
order = np.argsort(counts)

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
bars = ax.barh(np.array(species)[order], counts[order], color="tab:green")
ax.bar_label(bars, padding=3)
ax.set_xlabel("Individuals counted")
ax.set_xlim(0, 55)
ax.set_title("Wetland winter count, point W3, January")
plt.show()
