import datetime as dt

import numpy as np
import matplotlib.pyplot as plt
import matplotlib.dates as mdates

rng = np.random.default_rng(2024)

start = dt.date(2023, 9, 1)
days = [start + dt.timedelta(days=i) for i in range(120)]
trading_days = [d for d in days if d.weekday() < 5]

log_returns = rng.normal(0.0001, 0.004, len(trading_days))
eur_usd = 1.085 * np.exp(np.cumsum(log_returns))
ma_10 = np.convolve(eur_usd, np.ones(10) / 10, mode="valid")

figure1 = plt.figure(figsize=(10, 4))
ax = figure1.add_subplot(111)
ax.plot(trading_days, eur_usd, color="0.3", lw=1, label="EUR/USD close")
ax.plot(trading_days[9:], ma_10, color="tab:orange", lw=2, label="10-day MA")

ax.xaxis.set_major_locator(mdates.DayLocator(interval=2))
ax.xaxis.set_major_formatter(mdates.DateFormatter("%d %b %Y"))

ax.set_ylabel("USD per EUR")
ax.set_title("EUR/USD daily close, Sep-Dec 2023")
ax.grid(alpha=0.3)
ax.legend(loc="upper left")

figure1.savefig("eurusd_daily.png", dpi=120)
