"""Clean: relplot scatter of leaf area against shoot biomass, one panel per site, coloured by cultivar.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(11)
rows = []
for site, boost in [("Lowland", 1.0), ("Terrace", 0.85), ("Upland", 0.7)]:
    for cultivar, slope in [("Arbor", 38.0), ("Bristle", 31.0), ("Cotswold", 44.0)]:
        biomass = rng.uniform(2, 14, 40)
        area = slope * biomass * boost + rng.normal(0, 25, 40)
        rows.append(pd.DataFrame({"site": site, "cultivar": cultivar,
                                  "biomass_g": biomass, "leaf_area_cm2": area}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="ticks")
g = sns.relplot(data=df, x="biomass_g", y="leaf_area_cm2", col="site", hue="cultivar",
                kind="scatter", height=3.2, aspect=0.9, s=25)
g.set_axis_labels("Shoot dry biomass (g)", "Leaf area (cm²)")
g.set_titles("{col_name}")
plt.show()
