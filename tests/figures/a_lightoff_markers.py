"""Clean: pyplot-state line plot with markers for three catalyst loadings, legend in the empty corner.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(21)
temp = np.arange(200, 420, 20)

plt.figure(figsize=(6, 4), dpi=100)
for load, mk in ((0.5, "o"), (1.0, "s"), (2.0, "^")):
    conv = 100 / (1 + np.exp(-(temp - 330 + 25 * load) / 18)) + rng.normal(0, 1.5, temp.size)
    plt.plot(temp, np.clip(conv, 0, 100), marker=mk, label=f"{load} wt% Pt")
plt.xlabel("Reactor temperature (°C)")
plt.ylabel("CO conversion (%)")
plt.title("Light-off curves")
plt.ylim(-5, 105)
plt.legend(loc="upper left")
plt.tight_layout()
plt.show()
