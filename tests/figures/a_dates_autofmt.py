"""Clean: daily river discharge over one spring, date ticks tidied with autofmt_xdate.
"""
import datetime as dt

import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(2024)
days = np.arange(dt.date(2023, 3, 1), dt.date(2023, 6, 1), dt.timedelta(days=1)).astype(dt.date)
snowmelt = 140 * np.exp(-((np.arange(days.size) - 55) / 14) ** 2)
q = 25 + snowmelt + rng.gamma(2, 3, days.size)

fig, ax = plt.subplots(figsize=(7, 4))
ax.plot(days, q, color="tab:blue")
ax.set_ylabel("Discharge (m³/s)")
ax.set_title("Gauge 2.604, spring 2023")
fig.autofmt_xdate()
fig.tight_layout()
plt.show()
