"""Defect (over_data): the Sankey trunk is filled black and its black patch label "Feed 120 t/h" cannot be read on it."""
import matplotlib.pyplot as plt
from matplotlib.sankey import Sankey

fig, ax = plt.subplots(figsize=(7, 5))
ax.set_axis_off()
sankey = Sankey(ax=ax, unit=" t/h", scale=1 / 120, format="%.0f", offset=0.5, margin=0.9)
sankey.add(flows=[120, -70, -38, -12], labels=["ore feed", "concentrate", "tailings", "fines"],
           orientations=[0, 0, -1, 1], pathlengths=[0.8, 0.5, 0.4, 0.4],
           facecolor="k", patchlabel="Feed 120 t/h")
sankey.finish()
ax.set_title("Flotation circuit mass balance, shift A")
plt.show()
