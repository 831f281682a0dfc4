"""Defect (element_element): the hand-placed marginal histogram at the left covers the main scatter's y tick labels."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(50)
speed = rng.uniform(600, 3000, 300)
temp = 35 + 0.012 * speed + rng.normal(0, 4, speed.size)

fig, ax = plt.subplots(figsize=(7, 4.5))
ax.scatter(speed, temp, s=10, alpha=0.6)
ax.set_xlabel("Shaft speed (rpm)")
ax.set_title("Pump P-3 bearing temperature (°C) against shaft speed")
ax.set_ylim(25, 95)

# distribution of temperatures at the side, placed by hand
side = fig.add_axes((0.03, 0.11, 0.09, 0.77), sharey=ax)
side.hist(temp, bins=25, orientation="horizontal", color="0.6")
side.invert_xaxis()
side.tick_params(labelleft=False, labelbottom=False)
plt.show()
