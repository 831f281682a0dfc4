"""Defect (text_text): the figure suptitle is lowered onto the two subplot titles."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(50)
z = np.linspace(0, 200, 101)                      # depth (m)
temp = 8 + 10 / (1 + np.exp((z - 60) / 10)) + rng.normal(0, 0.1, z.size)
sal = 34.2 + 0.8 / (1 + np.exp(-(z - 70) / 12)) + rng.normal(0, 0.01, z.size)

fig, (ax1, ax2) = plt.subplots(1, 2, figsize=(8, 5.5), sharey=True)
ax1.plot(temp, z, color="tab:red")
ax1.set_xlabel("Temperature (°C)")
ax1.set_ylabel("Depth (m)")
ax1.invert_yaxis()
ax1.set_title("Temperature profile")
ax2.plot(sal, z, color="tab:blue")
ax2.set_xlabel("Salinity (PSU)")
ax2.set_title("Salinity profile")
fig.suptitle("CTD cast 27, shelf-break station", fontsize=14, y=0.93)
plt.show()
