"""Clean: pairplot of invented shorebird morphometrics coloured by species.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(2024)
# (bill mm, wing mm, mass g) centres per bird
species = {"Dunlin": (32, 118, 48), "Knot": (34, 165, 135), "Sanderling": (25, 124, 58)}
frames = []
for name, (bill, wing, mass) in species.items():
    n = 45
    size = rng.normal(0, 1, n)
    frames.append(pd.DataFrame({
        "species": name,
        "Bill length (mm)": bill + 1.6 * size + rng.normal(0, 1.0, n),
        "Wing chord (mm)": wing + 3.5 * size + rng.normal(0, 2.0, n),
        "Body mass (g)": mass * (1 + 0.06 * size) + rng.normal(0, 3, n),
    }))
df = pd.concat(frames, ignore_index=True)

sns.set_theme(style="ticks")
g = sns.pairplot(df, hue="species", height=2.2,
                 plot_kws={"s": 14, "alpha": 0.8}, diag_kind="hist")
plt.show()
