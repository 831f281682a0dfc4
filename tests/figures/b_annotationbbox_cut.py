"""Defect (clipping): the AnnotationBbox call-out box for the peak runs past the right edge of the figure."""
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.offsetbox import AnnotationBbox, TextArea

rng = np.random.default_rng(33)
hours = np.arange(0, 24, 0.25)
load = 620 + 180 * np.exp(-((hours - 18.5) / 2) ** 2) + 90 * np.exp(-((hours - 8) / 1.5) ** 2)
load += rng.normal(0, 8, hours.size)
i = np.argmax(load)

fig, ax = plt.subplots(figsize=(7, 4.5), dpi=100)
ax.plot(hours, load, color="tab:purple")
ax.set_xlim(0, 24)
ax.set_xlabel("Hour of day")
ax.set_ylabel("Grid load (MW)")
ax.set_title("Substation demand, 18 January")
box = TextArea(f"Evening peak: {load[i]:.0f} MW\nat {hours[i]:.2f} h — tariff band C")
ax.add_artist(AnnotationBbox(box, (hours[i], load[i]), xybox=(1.02, 0.8), boxcoords="axes fraction",
                             arrowprops={"arrowstyle": "->"}))
plt.show()
