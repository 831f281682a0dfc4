import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(1983)

years = np.arange(1960, 2024)
months = np.arange(1, 13)

trend = 0.021 * (years - years[0])
annual_temp = 8.4 + trend + rng.normal(0, 0.35, years.size)
annual_precip = 780 + rng.normal(0, 90, years.size) - 0.6 * (years - years[0])
monthly_clim = 8.5 + 9.5 * np.sin((months - 4.2) / 12 * 2 * np.pi)
frost_days = np.clip(np.round(95 - 0.55 * (years - years[0]) + rng.normal(0, 8, years.size)), 0, None)

fig, axs = plt.subplots(2, 2, figsize=(10, 7))

axs[0, 0].plot(years, annual_temp, color="firebrick", lw=1)
axs[0, 0].plot(years, np.polyval(np.polyfit(years, annual_temp, 1), years), "k--", lw=1)
axs[0, 0].set_title("Annual mean temperature")
axs[0, 0].set_ylabel("°C")

axs[0, 1].bar(years, annual_precip, color="steelblue", width=0.8)
axs[0, 1].set_title("Annual precipitation")
axs[0, 1].set_ylabel("mm")

axs[1, 0].plot(months, monthly_clim, marker="o", color="darkorange")
axs[1, 0].set_xticks(months)
axs[1, 0].set_xticklabels(["J", "F", "M", "A", "M", "J", "J", "A", "S", "O", "N", "D"])
axs[1, 0].set_title("Monthly climatology 1991-2020")
axs[1, 0].set_ylabel("°C")

axs[1, 1].step(years, frost_days, where="mid", color="slateblue")
axs[1, 1].set_title("Frost days per year")
axs[1, 1].set_ylabel("days")

for ax in axs[1]:
    ax.set_xlabel("Year" if ax is axs[1, 1] else "Month")

fig.suptitle("Station 10382 — long-term climate summary", fontsize=14, y=0.915)
fig.subplots_adjust(hspace=0.35, wspace=0.25)
fig.savefig("station_10382_summary.png", dpi=150)
