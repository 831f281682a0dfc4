"""A figure legend at the lower centre, where the x label already sits."""

import matplotlib.pyplot as plt
import numpy as np

t = np.linspace(0, 5, 100)
fig, ax = plt.subplots(figsize=(5, 4))
ax.plot(t, np.exp(-t), label="decay")
ax.plot(t, 1 - np.exp(-t), label="growth")
ax.set_xlabel("time since start of the run [s]")
fig.legend(loc="lower center", ncols=2)
plt.show()
