"""Defect (clipping): the rotated date tick labels are cut at the bottom edge by subplots_adjust(bottom=0.08).

Nightly build duration of a CI pipeline.
"""
import datetime as dt

import matplotlib.dates as mdates
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(12)
days = [dt.datetime(2024, 1, 1) + dt.timedelta(days=i) for i in range(60)]
minutes = 18 + np.cumsum(rng.normal(0.05, 0.6, 60))

fig, ax = plt.subplots(figsize=(6.5, 4), dpi=100)
ax.plot(days, minutes, ".-", color="tab:orange")
ax.xaxis.set_major_locator(mdates.WeekdayLocator(byweekday=mdates.MO))
ax.xaxis.set_major_formatter(mdates.DateFormatter("%Y-%m-%d"))
ax.tick_params(axis="x", labelrotation=45)
ax.set_ylabel("Build time (min)")
ax.set_title("Nightly build, main branch")
fig.subplots_adjust(bottom=0.08, top=0.92)
plt.show()
