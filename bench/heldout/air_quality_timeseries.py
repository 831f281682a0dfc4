import numpy as np
import pandas as pd
import matplotlib.pyplot as plt
import matplotlib.dates as mdates

rng = np.random.default_rng(2023)

index = pd.date_range("2023-01-01", "2023-12-31 23:00", freq="h")
hour = index.hour.to_numpy()
doy = index.day_of_year.to_numpy()

seasonal = 22 + 10 * np.cos(2 * np.pi * (doy - 15) / 365)
rush_hour = 8 * (np.exp(-((hour - 8) ** 2) / 4) + np.exp(-((hour - 18) ** 2) / 5))
pm25 = np.clip(seasonal + rush_hour + rng.gamma(2.0, 3.0, index.size) - 6, 1, None)

air = pd.DataFrame({"pm25": pm25}, index=index)
daily = air["pm25"].resample("D").mean()
rolling_30d = daily.rolling(30, center=True, min_periods=15).mean()

fig, (ax_ts, ax_diurnal) = plt.subplots(2, 1, figsize=(9, 6), layout="constrained",
                                        gridspec_kw={"height_ratios": [3, 2]})

ax_ts.plot(daily.index, daily, color="0.6", lw=0.8, label="daily mean")
ax_ts.plot(rolling_30d.index, rolling_30d, color="tab:brown", lw=2, label="30-day mean")
ax_ts.axhline(15, color="tab:red", ls="--", lw=1, label="WHO 24-h guideline")
locator = mdates.AutoDateLocator()
ax_ts.xaxis.set_major_locator(locator)
ax_ts.xaxis.set_major_formatter(mdates.ConciseDateFormatter(locator))
ax_ts.set_ylim(10, 42)
ax_ts.set_ylabel("PM$_{2.5}$ (µg m$^{-3}$)")
ax_ts.set_title("Urban background station, 2023")
ax_ts.legend(ncol=3, loc="upper center", fontsize=9)

by_hour = air.groupby(air.index.hour)["pm25"]
ax_diurnal.fill_between(range(24), by_hour.quantile(0.25), by_hour.quantile(0.75),
                        color="tab:brown", alpha=0.25, label="IQR")
ax_diurnal.plot(range(24), by_hour.median(), color="tab:brown", label="median")
ax_diurnal.set_xticks(range(0, 24, 3))
ax_diurnal.set_xlabel("Hour of day (local time)")
ax_diurnal.set_ylabel("PM$_{2.5}$ (µg m$^{-3}$)")
ax_diurnal.legend(loc="upper left", fontsize=9)

plt.show()
