"""Clean: pandas time series of river discharge with rainfall on a secondary y axis.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(66)
idx = pd.date_range("2023-10-01", "2024-03-31", freq="D")
rain = np.where(rng.random(idx.size) < 0.35, rng.gamma(1.5, 6.0, idx.size), 0.0)
kernel = np.exp(-np.arange(20) / 4.0)
flow = 12 + np.convolve(rain, kernel, mode="full")[: idx.size] * 1.8
df = pd.DataFrame({"discharge": flow, "rainfall": rain}, index=idx)

fig, ax = plt.subplots(figsize=(10, 4.5), layout="constrained")
df["discharge"].plot(ax=ax, color="tab:blue", lw=1.4, label="Discharge")
ax2 = df["rainfall"].plot(ax=ax, secondary_y=True, color="tab:gray", lw=0.8,
                          alpha=0.8, label="Rainfall")
ax.set_ylabel("Discharge (m³/s)")
ax2.set_ylabel("Daily rainfall (mm)")
ax2.set_ylim(0, 120)
ax.set_ylim(0, 140)
ax.set_xlabel("")
ax.set_title("Gauging station Wye at Redbrook, winter 2023/24")
lines = ax.get_lines() + ax2.get_lines()
ax.legend(lines, [l.get_label() for l in lines], loc="upper left", ncols=2, frameon=False)
plt.show()
