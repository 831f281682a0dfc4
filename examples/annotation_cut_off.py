"""An annotation placed right of the last point, running off the figure."""

import matplotlib.pyplot as plt
import numpy as np

x = np.arange(12)
y = np.array([3, 4, 4, 5, 7, 6, 8, 9, 9, 11, 12, 14])
fig, ax = plt.subplots(figsize=(5, 4))
ax.plot(x, y, marker="o")
ax.annotate("record month, up 17 %", xy=(11, 14), xytext=(10, 0),
            textcoords="offset points", va="center")
ax.set_xlabel("month")
ax.set_ylabel("orders")
plt.show()
