"""Clean: heavy-metal heatmap with 45° column headers along the top; the longest header's box pokes a couple of pixels past the figure top but its glyphs are whole."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(67)
metals = ["Lead", "Zinc", "Copper", "Cadmium", "Arsenic", "Manganese"]
sites = [f"Well {k}" for k in range(1, 9)]
conc = rng.lognormal(0, 0.6, (len(sites), len(metals))) * np.array([8, 60, 20, 0.6, 5, 90])

fig, ax = plt.subplots(figsize=(5.5, 5.2))
fig.subplots_adjust(left=0.15, right=0.86, top=0.855, bottom=0.04)
im = ax.imshow(np.log10(conc), cmap="cividis", aspect="auto")
ax.xaxis.tick_top()
ax.set_xticks(range(len(metals)), metals, rotation=45, ha="left", rotation_mode="anchor")
ax.set_yticks(range(len(sites)), sites)
cax = fig.add_axes((0.88, 0.04, 0.03, 0.815))
fig.colorbar(im, cax=cax, label="log$_{10}$ concentration (µg/L)")
plt.show()
