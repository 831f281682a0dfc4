"""Defect (element_element): in a 2x2 grid without a layout engine the top row's x labels lie under the bottom row's titles and axes."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(2)
fig, axs = plt.subplots(2, 2, figsize=(6, 4.5))
fig.subplots_adjust(hspace=0.12)
for i, ax in enumerate(axs.flat):
    ax.plot(np.cumsum(rng.normal(0, 1, 50)))
    ax.set_title(f"Sensor {i + 1}")
    ax.set_xlabel("Sample")
plt.show()
