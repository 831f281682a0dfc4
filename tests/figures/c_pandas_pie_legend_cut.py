"""Defect (clipping): the shared legend of the pandas pie subplots hangs off the right edge of the figure.
"""
import matplotlib.pyplot as plt
import pandas as pd

budget = pd.DataFrame({
    "2023": [41.0, 22.5, 14.0, 12.5, 10.0],
    "2024": [38.5, 25.0, 16.5, 11.0, 9.0],
    "2025": [35.0, 27.5, 19.0, 10.5, 8.0],
}, index=["Personnel", "Equipment", "Consumables", "Travel", "Overheads"])

axs = budget.plot(kind="pie", subplots=True, figsize=(10, 3.8), legend=False,
                  autopct="%.0f%%", pctdistance=0.72, labels=None, startangle=90,
                  colormap="Pastel1", wedgeprops={"edgecolor": "white"})
for ax, year in zip(axs, budget.columns):
    ax.set_ylabel("")
    ax.set_title(f"FY {year}")
fig = axs[0].figure
fig.suptitle("Research group budget allocation (share of total)")
fig.subplots_adjust(left=0.02, right=0.9, top=0.8, bottom=0.02, wspace=0.05)
axs[-1].legend(budget.index, loc="center left", bbox_to_anchor=(0.95, 0.5), title="Cost category")
plt.show()
