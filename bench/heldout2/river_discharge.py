import numpy as np
import pandas as pd
import matplotlib.pyplot as plt
import matplotlib.dates as mdates

rng = np.random.default_rng(7)

dates = pd.date_range("2021-10-01", "2023-09-30", freq="D")
doy = dates.day_of_year.to_numpy()
baseflow = 12 + 6 * np.cos(2 * np.pi * (doy - 60) / 365.25)

# storm hydrographs: sharp rise, exponential recession
storms = np.zeros(len(dates))
for start in rng.choice(len(dates), size=40, replace=False):
    peak = rng.gamma(2.0, 25.0)
    recession = peak * np.exp(-np.arange(30) / rng.uniform(2, 6))
    n = min(30, len(dates) - start)
    storms[start:start + n] += recession[:n]

discharge = np.clip(baseflow + storms + rng.normal(0, 0.8, len(dates)), 0.5, None)
flow = pd.Series(discharge, index=dates, name="Q")
weekly = flow.resample("W").mean()
q5 = flow.quantile(0.95)

fig, ax = plt.subplots(figsize=(11, 4))
ax.plot(flow.index, flow.values, color="steelblue", lw=0.7, label="Daily mean")
ax.plot(weekly.index, weekly.values, color="navy", lw=1.6, label="Weekly mean")
ax.axhline(q5, color="firebrick", ls="--", lw=1, label=f"Q5 = {q5:.0f} m$^3$/s")

ax.xaxis.set_major_locator(mdates.WeekdayLocator(byweekday=mdates.MO, interval=2))
ax.xaxis.set_major_formatter(mdates.DateFormatter("%d %b %Y"))
ax.set_xlim(dates[0], dates[-1])
ax.set_ylim(0, None)
ax.set_ylabel("Discharge (m$^3$/s)")
ax.set_title("Gauge 04-117, water years 2022–2023")
ax.legend(loc="upper right")
ax.grid(alpha=0.3)

fig.savefig("river_discharge_wy2022_2023.png", dpi=150)
