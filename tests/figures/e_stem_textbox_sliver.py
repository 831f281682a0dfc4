"""Clean: stem plot of an equaliser's impulse response; the boxed label beside the main tap grazes that stem by a pixel only."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(58)
n = np.arange(32)
h = 0.25 * np.exp(-np.abs(n - 8) / 4.0) * np.cos(1.3 * (n - 8)) + 0.01 * rng.standard_normal(n.size)
h[8] = 1.0

fig, ax = plt.subplots(figsize=(7, 4))
ax.stem(n, h, basefmt="k-")
ax.annotate("main tap, n = 8", xy=(7.62, 0.7), ha="right", va="center",
            fontsize=10, bbox=dict(boxstyle="square,pad=0.3", fc="w", ec="0.3"))
ax.set_ylim(-0.35, 1.1)
ax.set_xlabel("Tap index n")
ax.set_ylabel("Coefficient h[n]")
ax.set_title("Adapted 32-tap channel equaliser")
plt.show()
