"""Clean: eight monthly labels rotated 30 degrees and right-aligned under constrained layout."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(4)
sales = 120 + np.cumsum(rng.normal(0, 8, 8))
fig, ax = plt.subplots(figsize=(5, 3.5), layout="constrained")
ax.plot(range(8), sales, marker="o")
ax.set_xticks(range(8), [f"2004-0{i + 1}" for i in range(8)], rotation=30, ha="right")
ax.set_ylabel("Units sold")
ax.set_title("Regional sales, first eight months")
plt.show()
