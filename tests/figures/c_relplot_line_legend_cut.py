"""Defect (clipping): the relplot legend is moved past the right edge of the figure and cut off.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(23)
hours = np.arange(0, 48, 2)
rows = []
for reactor in ["R1", "R2"]:
    for strain, mu in [("wild type", 0.11), ("ΔpykF", 0.09), ("ΔpykF + pTrc", 0.075)]:
        for rep in range(3):
            od = 0.05 * np.exp(mu * hours) / (1 + 0.05 * (np.exp(mu * hours) - 1) / 6)
            od *= rng.normal(1, 0.04, hours.size)
            rows.append(pd.DataFrame({"reactor": reactor, "strain": strain,
                                      "rep": rep, "time_h": hours, "od600": od}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="whitegrid")
g = sns.relplot(data=df, x="time_h", y="od600", hue="strain", col="reactor",
                kind="line", errorbar="sd", height=3.5, aspect=1.1)
g.set_axis_labels("Time after inoculation (h)", "OD600")
sns.move_legend(g, "upper left", bbox_to_anchor=(0.93, 0.9), title="Strain")
plt.show()
