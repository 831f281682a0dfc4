"""Defect (text_text): the daily "%b %d" date labels on the x axis are so crowded that neighbouring labels come within 2–3 px of each other."""
import matplotlib.dates as mdates
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(65)
days = pd.date_range("2024-03-01", periods=12, freq="D")
depth = 3.2 - 0.04 * np.arange(12) + 0.05 * rng.standard_normal(12)

fig, ax = plt.subplots(figsize=(6.7, 3.5), layout="constrained")
ax.plot(days, depth, "o-")
ax.xaxis.set_major_locator(mdates.DayLocator())
ax.xaxis.set_major_formatter(mdates.DateFormatter("%b %d"))
ax.set_ylabel("Groundwater depth (m)")
ax.set_title("Observation well OW-12, daily readings")
plt.show()
