"""Clean: a Sankey diagram of a household energy budget, its total written inside the trunk."""
import matplotlib.pyplot as plt
from matplotlib.sankey import Sankey

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.set_axis_off()
sankey = Sankey(ax=ax, unit=" kWh", scale=0.01, format="%.0f", offset=0.45, gap=0.4, margin=0.7)
sankey.add(flows=[100, -45, -30, -25], labels=["grid", "heating", "appliances", "losses"],
           orientations=[0, 1, 0, -1], pathlengths=[0.6, 0.4, 0.6, 0.4], patchlabel="100 kWh\nper day")
sankey.finish()
fig.suptitle("Daily household energy flows")
plt.show()
