"""Defect (clipping): the long y-axis label is taller than the short strip figure and is cut at the top and bottom edges.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(50)
idx = pd.date_range("2024-06-12 00:00", periods=24 * 60, freq="min")
slow = np.cumsum(rng.normal(0, 1.5, idx.size))
slow -= np.linspace(0, slow[-1], idx.size)
dev = pd.Series(20 * np.sin(np.arange(idx.size) / 180) + slow + rng.normal(0, 4, idx.size),
                index=idx, name="deviation")

fig, ax = plt.subplots(figsize=(11, 2.4), layout="constrained")
dev.plot(ax=ax, lw=0.6, color="tab:green")
dev.rolling(30).mean().plot(ax=ax, lw=1.4, color="k")
ax.axhline(0, color="0.5", lw=0.8)
ax.set_ylabel("Grid frequency deviation from 50 Hz nominal (mHz)")
ax.set_xlabel("Time (UTC)")
ax.set_title("Frequency log, substation 4, 12 June 2024")
plt.show()
