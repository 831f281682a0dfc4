"""Defect (element_element): the title of the lower residual panel runs up into the price panel above it.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(101)
days = pd.date_range("2024-01-02", periods=180, freq="B")
price = 62 + np.cumsum(rng.normal(0.05, 0.9, days.size))
fit = np.poly1d(np.polyfit(np.arange(days.size), price, 2))(np.arange(days.size))

fig, (ax_p, ax_r) = plt.subplots(2, 1, sharex=True, figsize=(8, 6),
                                 gridspec_kw={"height_ratios": [2.5, 1]})
# panels stacked tight so the shared date axis reads as one chart
fig.subplots_adjust(hspace=0.04)
ax_p.plot(days, price, color="tab:blue", lw=1.2, label="close")
ax_p.plot(days, fit, color="tab:red", lw=1.5, ls="--", label="quadratic trend")
ax_p.set_ylabel("Close price (USD)")
ax_p.legend(loc="upper left", frameon=False)
ax_p.set_title("Ticker XNRG, daily close, H1 2024")
ax_r.bar(days, price - fit, color="0.5", width=1.0)
ax_r.axhline(0, color="k", lw=0.8)
ax_r.set_ylabel("Residual (USD)")
ax_r.set_title("Residuals from trend", fontsize=13)
fig.autofmt_xdate()
plt.show()
