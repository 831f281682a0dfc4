"""Clean: tide height and water temperature on twin y axes, with a secondary x axis in hours since low water."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(4)
t = np.linspace(0, 48, 289)                       # hours since 00:00
tide = 2.1 * np.sin(2 * np.pi * (t - 3.1) / 12.42) + 0.3 * np.sin(2 * np.pi * t / 12)
temp = 11 + 0.8 * np.sin(2 * np.pi * (t - 14) / 24) + rng.normal(0, 0.05, t.size)
t_low = 0.0

fig, ax = plt.subplots(figsize=(9, 4.5), dpi=100, layout="constrained")
ax.plot(t, tide, color="tab:blue", label="Tide")
ax.axhline(0, color="0.5", lw=0.8, ls="--")
ax.set_xlabel("Time (h since 00:00, 12 Jun)")
ax.set_ylabel("Height above chart datum (m)", color="tab:blue")
ax2 = ax.twinx()
ax2.plot(t, temp, color="tab:red", label="Water temperature")
ax2.set_ylabel("Temperature (°C)", color="tab:red")
sec = ax.secondary_xaxis("top", functions=(lambda x: x - t_low, lambda x: x + t_low))
sec.set_xlabel("Hours since first low water")
ax.set_title("Harbour gauge H4")
plt.show()
