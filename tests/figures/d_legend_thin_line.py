"""Defect (over_data): the legend lies across the thin reference-model curve."""
import matplotlib.pyplot as plt
import numpy as np

t = np.linspace(0, 24, 300)
fig, ax = plt.subplots(figsize=(5, 3.5), layout="constrained")
ax.plot(t, 18 + 6 * np.sin((t - 9) / 24 * 2 * np.pi), lw=0.8, color="tab:blue", label="reference model")
ax.plot(t, 14 + 0.3 * t, lw=0.8, color="tab:orange", label="measured trend")
ax.set_ylim(10, 26)
ax.legend(loc="center")
ax.set_xlabel("Hour of day")
ax.set_ylabel("Air temperature (°C)")
plt.show()
