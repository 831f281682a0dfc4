"""A tidy two-panel figure: a legend in an empty corner above gridlines, a
colour bar, titles and labels that all fit."""

import matplotlib.pyplot as plt
import numpy as np

t = np.linspace(0, 1, 100)
fig, (ax0, ax1) = plt.subplots(1, 2, figsize=(8, 3.5), layout="constrained")
ax0.plot(t, t**2, label="quadratic")
ax0.plot(t, t**3, label="cubic")
ax0.grid(True)
ax0.legend(loc="upper left")
ax0.set_title("Growth")
ax0.set_xlabel("x")
ax0.set_ylabel("y")
image = ax1.imshow(np.outer(t, t), origin="lower", extent=(0, 1, 0, 1))
fig.colorbar(image, ax=ax1, label="x · y")
ax1.set_title("Product")
fig.suptitle("Two views")
plt.show()
