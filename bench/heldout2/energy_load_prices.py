import numpy as np
import pandas as pd
import matplotlib.pyplot as plt
from matplotlib.ticker import FuncFormatter

rng = np.random.default_rng(3)

hours = pd.date_range("2024-01-15", periods=7 * 24, freq="h")
hod = hours.hour.to_numpy()
weekend = hours.day_of_week.to_numpy() >= 5

daily_shape = 1 + 0.18 * np.sin(2 * np.pi * (hod - 7) / 24) \
    + 0.10 * np.exp(-0.5 * ((hod - 18) / 1.8) ** 2)
load = 52000 * daily_shape * np.where(weekend, 0.86, 1.0)
load += rng.normal(0, 900, len(hours))

wind = np.clip(14000 + np.cumsum(rng.normal(0, 900, len(hours))), 1500, None)
solar = np.clip(9000 * np.sin(np.pi * (hod - 8) / 9), 0, None)
residual = load - wind - solar
price = 35 + 0.0021 * residual + rng.normal(0, 6, len(hours))

df = pd.DataFrame({"load": load, "wind": wind, "solar": solar,
                   "price": price}, index=hours)

fig, (ax_load, ax_gen) = plt.subplots(2, 1, figsize=(10, 6), sharex=True)
thousands = FuncFormatter(lambda v, _: f"{v:,.0f}")

ax_load.plot(df.index, df["load"], color="tab:blue", lw=1.4)
ax_load.set_ylabel("System load (MW)", color="tab:blue")
ax_load.yaxis.set_major_formatter(thousands)
ax_price = ax_load.twinx()
ax_price.step(df.index, df["price"], where="post", color="tab:red", lw=1)
ax_price.set_ylabel("Day-ahead price (EUR/MWh)", color="tab:red")
ax_load.set_title("Hourly load and day-ahead price, week 3 2024")

ax_gen.stackplot(df.index, df["wind"], df["solar"],
                 labels=["Wind", "Solar PV"], colors=["#6baed6", "#fdae6b"])
ax_gen.plot(df.index, df["load"], color="black", lw=1, label="Load")
ax_gen.yaxis.set_major_formatter(thousands)
ax_gen.set_ylabel("Generation (MW)")
ax_gen.legend(loc="upper left", ncol=3, fontsize=9)

fig.subplots_adjust(left=0.07, right=0.96, bottom=0.08, top=0.94, hspace=0.08)
fig.savefig("load_price_week03.png", dpi=120)
