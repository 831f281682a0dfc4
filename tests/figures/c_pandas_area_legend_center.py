"""Defect (over_data): the legend is forced into the centre of the stacked area plot and covers the filled bands.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(13)
idx = pd.date_range("2024-01-01", "2024-12-31", freq="D")
doy = idx.day_of_year.to_numpy()
season = np.cos(2 * np.pi * (doy - 15) / 365)
gen = pd.DataFrame({
    "Nuclear": 5.8 + rng.normal(0, 0.15, doy.size),
    "Wind": np.clip(6 + 3 * season + rng.normal(0, 2.5, doy.size), 0.5, None),
    "Solar": np.clip(3 - 2.5 * season + rng.normal(0, 0.6, doy.size), 0.1, None),
    "Hydro": 1.6 + 0.4 * season + rng.normal(0, 0.1, doy.size),
    "Gas": np.clip(8 + 3 * season + rng.normal(0, 1.2, doy.size), 1, None),
}, index=idx)

fig, ax = plt.subplots(figsize=(10, 5), layout="constrained")
gen.plot(kind="area", ax=ax, lw=0, alpha=0.9, colormap="tab10")
ax.set_ylabel("Mean daily generation (GW)")
ax.set_xlabel("")
ax.set_title("Electricity generation mix, 2024")
ax.set_xlim(idx[0], idx[-1])
ax.legend(loc="center", ncols=5)
plt.show()
