"""Clean: lmplot of apartment rent against floor area with a linear fit per district.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(17)
rows = []
for district, per_m2, base in [("Altstadt", 17.5, 120), ("Nordend", 14.0, 90), ("Hafen", 12.0, 150)]:
    area = rng.uniform(28, 110, 50)
    rent = base + per_m2 * area + rng.normal(0, 90, area.size)
    rows.append(pd.DataFrame({"district": district, "area_m2": area, "rent_eur": rent}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="darkgrid")
g = sns.lmplot(data=df, x="area_m2", y="rent_eur", col="district", hue="district",
               height=3.3, aspect=0.9, n_boot=200, seed=3, scatter_kws={"s": 14})
g.set_axis_labels("Floor area (m²)", "Monthly cold rent (€)")
g.set_titles("{col_name}")
plt.show()
