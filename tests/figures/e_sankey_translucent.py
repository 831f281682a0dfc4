"""Clean: a Sankey of district-heat delivery drawn with translucent patches, its patch label written on the trunk."""
import matplotlib.pyplot as plt
from matplotlib.sankey import Sankey

fig, ax = plt.subplots(figsize=(8, 5))
ax.set_axis_off()
sankey = Sankey(ax=ax, unit=" MW", scale=1 / 60, format="%.0f", offset=0.35, margin=1.0)
sankey.add(flows=[60, -38, -4, -18], labels=["boilers", "buildings", "pipe loss", "stack loss"],
           orientations=[0, 0, 1, -1], pathlengths=[0.9, 0.6, 0.4, 0.5],
           facecolor="tab:red", alpha=0.5, patchlabel="Heat plant\n60 MW in")
sankey.finish()
ax.set_title("District heating, January average")
plt.show()
