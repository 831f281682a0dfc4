"""Clean: quarterly energy use as bars with the numbers in a table below the axes, room made for it."""
import matplotlib.pyplot as plt
import numpy as np

quarters = ["Q1", "Q2", "Q3", "Q4"]
data = {"Heating": [420, 180, 60, 390], "Cooling": [20, 140, 260, 30], "Lighting": [110, 90, 85, 120]}
colors = ["tab:red", "tab:blue", "gold"]

fig, ax = plt.subplots(figsize=(7, 5.5), dpi=100)
bottom = np.zeros(4)
x = np.arange(4) + 0.5
for (name, vals), c in zip(data.items(), colors):
    ax.bar(x, vals, 0.5, bottom=bottom, color=c, label=name)
    bottom += vals
tab = ax.table(cellText=[[str(v) for v in vals] for vals in data.values()], rowLabels=list(data),
               rowColours=colors, colLabels=quarters, loc="bottom")
tab.auto_set_font_size(False)
tab.set_fontsize(9)
tab.scale(1, 1.3)
fig.subplots_adjust(left=0.2, bottom=0.24)
ax.set_xlim(0, 4)
ax.set_xticks([])
ax.set_ylabel("Energy use (MWh)")
ax.set_title("Campus building B energy use, 2023")
ax.legend(loc="upper center", ncols=3)
ax.set_ylim(0, 700)
plt.show()
