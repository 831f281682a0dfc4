"""Defect (clipping): the long suptitle is wider than the narrow catplot figure and is cut at both side edges.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(3)
rows = []
for line, mu, sd in [("Line A", 50.02, 0.011), ("Line B", 50.00, 0.018), ("Line C", 49.99, 0.009)]:
    rows.append(pd.DataFrame({"line": line, "diameter_mm": rng.normal(mu, sd, 250)}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="whitegrid")
g = sns.catplot(data=df, x="line", y="diameter_mm", kind="violin", height=4,
                aspect=0.8, inner="quart", color="0.75")
g.set_axis_labels("Production line", "Bore diameter (mm)")
g.figure.suptitle("Bore diameter distribution per production line, week 37 final inspection",
                  fontsize=13)
g.figure.subplots_adjust(top=0.9)
plt.show()
