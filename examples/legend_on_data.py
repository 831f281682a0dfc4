"""A scatter of 4000 points filling the axes, with the legend forced into
the upper right corner, on top of them."""

import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(0)
x, y = rng.uniform(0, 1, (2, 4000))

fig, ax = plt.subplots(figsize=(5, 4))
ax.scatter(x, y, s=8, label="samples")
ax.plot([0, 1], [0, 1], color="k", label="identity")
ax.legend(loc="upper right")
ax.set_xlabel("measured")
ax.set_ylabel("predicted")
plt.show()
