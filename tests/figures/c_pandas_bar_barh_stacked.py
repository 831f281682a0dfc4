"""Clean: pandas grouped bars of regional revenue next to stacked horizontal bars of product mix.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(58)
regions = ["Nordics", "DACH", "Benelux", "Iberia", "UK & IE"]
revenue = pd.DataFrame({
    "2022": rng.uniform(8, 20, 5).round(1),
    "2023": rng.uniform(10, 22, 5).round(1),
    "2024": rng.uniform(12, 25, 5).round(1),
}, index=regions)
share = rng.dirichlet([4, 3, 2, 1], size=5) * 100
mix = pd.DataFrame(share, index=regions, columns=["Hardware", "Licences", "Support", "Training"])

fig, (ax1, ax2) = plt.subplots(1, 2, figsize=(12, 4.8), layout="constrained")
revenue.plot(kind="bar", ax=ax1, rot=0, width=0.75, color=["#9ecae1", "#4292c6", "#08519c"])
ax1.set_ylabel("Revenue (EUR million)")
ax1.set_xlabel("")
ax1.set_title("Revenue by sales region")
ax1.set_ylim(0, 32)
ax1.legend(title="Fiscal year", ncols=3, loc="upper center", frameon=False)
mix.plot(kind="barh", stacked=True, ax=ax2, width=0.7, colormap="Set2")
ax2.set_xlabel("Share of 2024 revenue (%)")
ax2.set_ylabel("")
ax2.set_xlim(0, 100)
ax2.invert_yaxis()
ax2.set_title("Product mix, 2024")
ax2.legend(loc="upper left", bbox_to_anchor=(1.01, 1), frameon=False)
plt.show()
