"""Clean: outline histograms of daily rainfall at three gauges, log-scaled counts.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(8)
gauges = {"Hillside": rng.exponential(6.0, 365),
          "Valley": rng.exponential(3.5, 365),
          "Coast": rng.exponential(4.5, 365)}

fig, ax = plt.subplots(figsize=(6, 4), dpi=150, layout="constrained")
for name, rain in gauges.items():
    ax.hist(rain, bins=30, range=(0, 45), histtype="step", lw=1.8, label=name)
ax.set_yscale("log")
ax.set_xlabel("Daily rainfall (mm)")
ax.set_ylabel("Days")
ax.set_title("Rain gauge network, 2022")
ax.legend(loc="upper right", title="Gauge")
plt.show()
