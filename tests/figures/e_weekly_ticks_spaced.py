"""Clean: daily river discharge over two months with Monday date ticks, their labels well apart."""
import matplotlib.dates as mdates
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(66)
days = pd.date_range("2024-04-01", "2024-05-31", freq="D")
flow = 40 + 25 * np.exp(-((np.arange(days.size) - 20) / 6.0) ** 2) + rng.gamma(2, 1.5, days.size)

fig, ax = plt.subplots(figsize=(7.5, 3.8), layout="constrained")
ax.plot(days, flow, lw=1.2)
ax.fill_between(days, flow, alpha=0.2)
ax.set_ylim(0, None)
ax.xaxis.set_major_locator(mdates.WeekdayLocator(byweekday=mdates.MO))
ax.xaxis.set_major_formatter(mdates.DateFormatter("%b %d"))
ax.set_ylabel("Discharge (m³/s)")
ax.set_title("River Lune at Caton, spring 2024")
plt.show()
