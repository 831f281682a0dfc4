"""Daily prices over two years with a label on every month: the rotated
date labels run into each other."""

import datetime as dt

import matplotlib.dates as mdates
import matplotlib.pyplot as plt
import numpy as np

days = [dt.date(2020, 1, 1) + dt.timedelta(days=i) for i in range(730)]
price = 100 + np.cumsum(np.random.default_rng(1).normal(0, 1, len(days)))

fig, ax = plt.subplots(figsize=(5, 3))
fig.subplots_adjust(bottom=0.25)
ax.plot(days, price, label="price")
ax.xaxis.set_major_locator(mdates.MonthLocator())
ax.xaxis.set_major_formatter(mdates.DateFormatter("%Y-%m"))
for label in ax.get_xticklabels():
    label.set_rotation(30)
ax.set_title("Closing price")
plt.show()
