"""A suptitle placed by hand low enough to run into the axes title."""

import matplotlib.pyplot as plt
import numpy as np

t = np.linspace(0, 10, 200)
fig, ax = plt.subplots(figsize=(5, 4))
ax.plot(t, np.sin(t))
ax.set_title("Response of the damped oscillator")
fig.suptitle("Experiment 12: damped oscillator", y=0.9)
plt.show()
