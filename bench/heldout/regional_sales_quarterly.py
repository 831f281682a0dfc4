import numpy as np
import pandas as pd
import matplotlib.pyplot as plt

rng = np.random.default_rng(8)

quarters = pd.period_range("2021Q1", "2024Q4", freq="Q")
regions = ["North America", "EMEA", "APAC", "LATAM"]
products = ["Hardware", "Software licences", "Support contracts"]

records = []
for region in regions:
    scale = {"North America": 40, "EMEA": 28, "APAC": 22, "LATAM": 8}[region]
    for product in products:
        growth = rng.uniform(0.01, 0.05)
        season = 1 + 0.12 * np.sin(np.arange(len(quarters)) * np.pi / 2)
        revenue = scale * (1 + growth) ** np.arange(len(quarters)) * season
        revenue *= rng.normal(1, 0.05, len(quarters)) * {"Hardware": 1.0, "Software licences": 0.7,
                                                           "Support contracts": 0.45}[product]
        records += [dict(region=region, product=product, quarter=str(q), revenue=r)
                    for q, r in zip(quarters, revenue)]

sales = pd.DataFrame.from_records(records)

fig, axs = plt.subplots(2, 2, figsize=(11, 7), sharex=True)
for ax, region in zip(axs.flat, regions):
    table = sales[sales.region == region].pivot(index="quarter", columns="product", values="revenue")
    for product in products:
        ax.plot(table.index, table[product], marker="o", ms=3, label=product)
    ax.set_title(region)
    ax.set_ylabel("Revenue (USD m)")
    ax.grid(alpha=0.3)

for ax in axs[1]:
    ax.tick_params(axis="x", labelrotation=90)

handles, labels = axs[0, 0].get_legend_handles_labels()
fig.legend(handles, labels, loc="center", ncol=3, fontsize=11)
fig.suptitle("Quarterly revenue by region and product line")
fig.tight_layout()
fig.savefig("regional_sales.png", dpi=150)
