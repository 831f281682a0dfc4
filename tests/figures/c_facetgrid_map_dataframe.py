"""Clean: FacetGrid of turbine power curves by site and season drawn with map_dataframe.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(31)
rows = []
for site in ["Onshore A", "Offshore B"]:
    for season in ["Winter", "Summer"]:
        wind = rng.weibull(2.0 if site == "Onshore A" else 2.4, 300) * (7 if season == "Summer" else 9.5)
        rated = 3.6 if site == "Offshore B" else 2.5
        power = rated / (1 + np.exp(-(wind - 8.5) / 1.3)) * (wind > 3) * (wind < 25)
        power = np.clip(power + rng.normal(0, 0.08, wind.size), 0, None)
        rows.append(pd.DataFrame({"site": site, "season": season,
                                  "wind_ms": wind, "power_mw": power}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="whitegrid")
g = sns.FacetGrid(df, row="season", col="site", height=2.8, aspect=1.4, margin_titles=True)
g.map_dataframe(sns.scatterplot, x="wind_ms", y="power_mw", s=8, alpha=0.5, color="tab:blue")
g.set_axis_labels("Hub-height wind speed (m/s)", "Power output (MW)")
g.set_titles(col_template="{col_name}", row_template="{row_name}")
g.set(xlim=(0, 26))
g.tight_layout()
plt.show()
