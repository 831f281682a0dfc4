"""Defect (text_text): the figure legend at the lower centre is drawn on top of the shared x-axis label.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(88)
idx = pd.date_range("2024-03-01", periods=14 * 24, freq="h", name="Timestamp (UTC)")
t = np.arange(idx.size)
daily = np.sin(2 * np.pi * (t % 24 - 8) / 24)
df = pd.DataFrame({
    "Air temperature (°C)": 9 + 5 * daily + rng.normal(0, 0.6, t.size),
    "Relative humidity (%)": 78 - 14 * daily + rng.normal(0, 3, t.size),
    "Solar irradiance (W/m²)": np.clip(600 * daily, 0, None) * rng.uniform(0.5, 1, t.size),
}, index=idx)

axs = df.plot(subplots=True, figsize=(9, 7), sharex=True, legend=False, lw=0.8,
              color=["tab:red", "tab:blue", "tab:orange"])
fig = axs[0].figure
for ax, unit in zip(axs, ["°C", "%", "W/m²"]):
    ax.set_ylabel(unit)
fig.suptitle("Rooftop weather station, first two weeks of March 2024")
fig.tight_layout()
fig.legend(loc="lower center", ncols=3, frameon=False)
plt.show()
