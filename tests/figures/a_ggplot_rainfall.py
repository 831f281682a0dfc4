"""Clean: monthly rainfall at two stations as grouped bars in the ggplot style.
"""
import matplotlib.pyplot as plt
import numpy as np

months = ["J", "F", "M", "A", "M", "J", "J", "A", "S", "O", "N", "D"]
rng = np.random.default_rng(4)
west = np.array([110, 85, 90, 60, 55, 50, 45, 70, 95, 130, 140, 125]) + rng.normal(0, 5, 12)
east = np.array([55, 45, 50, 40, 45, 55, 60, 65, 50, 60, 65, 60]) + rng.normal(0, 5, 12)
x = np.arange(12)

with plt.style.context("ggplot"):
    fig, ax = plt.subplots(figsize=(7, 4), layout="constrained")
    ax.bar(x - 0.2, west, 0.4, label="Westport")
    ax.bar(x + 0.2, east, 0.4, label="Eastfield")
    ax.set_xticks(x, months)
    ax.set_ylabel("Rainfall (mm)")
    ax.set_xlabel("Month")
    ax.set_title("Monthly rainfall, 1991-2020 normals")
    ax.set_ylim(0, 200)
    ax.legend(loc="upper center", ncols=2)
plt.show()
