"""Defect (over_data): the y-axis label moved inside the axes with set_label_coords is crossed by the wind-speed trace."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(63)
t = np.arange(0, 48, 0.1)
wind = 7 + 2.5 * np.sin(2 * np.pi * t / 24) + np.cumsum(rng.normal(0, 0.12, t.size))

fig, ax = plt.subplots(figsize=(7, 3.5), layout="constrained")
ax.plot(t, wind, lw=1)
ax.set_xlim(0, 48)
ax.set_xlabel("Hours since 00:00, 14 Oct")
# label tucked inside to save horizontal space in the report layout
ax.set_ylabel("10 m wind (m/s)")
ax.yaxis.set_label_coords(0.05, 0.5)
ax.set_title("Met mast M2")
plt.show()
