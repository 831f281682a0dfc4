"""Defect (text_text): the long facet titles of the two catplot panels run into each other between the panels.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(19)
rows = []
for mgmt, gain in [("arable rotation", 0.0), ("permanent grassland", 0.8)]:
    for soil, shift in [("sandy loam", -0.3), ("clay", 0.2), ("silt loam", 0.0)]:
        for depth, base in [("0-10", 2.4), ("10-30", 1.6), ("30-60", 0.9)]:
            carbon = np.clip(rng.normal(base + shift + gain * base / 2.4, 0.3, 8), 0.1, None)
            rows.append(pd.DataFrame({"management": mgmt, "soil": soil,
                                      "depth": depth, "soc_pct": carbon}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="ticks")
g = sns.catplot(data=df, x="depth", y="soc_pct", col="management", hue="soil",
                kind="strip", height=3.6, aspect=1.0, jitter=0.25, size=4, dodge=True)
g.set_axis_labels("Sampling depth (cm)", "Soil organic carbon (%)")
g.set_titles("Soil organic carbon by depth, {col_name}")
plt.show()
