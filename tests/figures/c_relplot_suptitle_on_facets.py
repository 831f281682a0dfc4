"""Defect (text_text): the suptitle sits on top of the relplot facet titles because no room was made for it.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(5)
rows = []
for region in ["North", "Central", "South"]:
    base = {"North": 410, "Central": 520, "South": 365}[region]
    for channel in ["online", "retail"]:
        weeks = np.arange(1, 27)
        trend = base * (1.35 if channel == "online" else 1.0) + 4 * weeks
        units = trend + 40 * np.sin(weeks / 4) + rng.normal(0, 25, weeks.size)
        rows.append(pd.DataFrame({"region": region, "channel": channel,
                                  "week": weeks, "units": units}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="darkgrid")
g = sns.relplot(data=df, x="week", y="units", hue="channel", col="region",
                kind="line", height=3.2, aspect=1.0, linewidth=1.8)
g.set_axis_labels("Week of 2024", "Units sold")
g.set_titles("{col_name} region")
g.figure.suptitle("Weekly unit sales by region and sales channel", y=0.98, fontsize=14)
plt.show()
