"""Clean: a sediment-core grain-size profile with an AnchoredText note and a thumbnail of the core via AnnotationBbox."""
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.offsetbox import AnchoredText, AnnotationBbox, OffsetImage

rng = np.random.default_rng(10)
depth = np.linspace(0, 300, 151)  # cm
d50 = 60 + 40 * np.sin(depth / 35) + rng.normal(0, 5, depth.size)
core = np.tile((d50[::5] - d50.min())[:, None], (1, 6))  # grey-scale stand-in photo

fig, ax = plt.subplots(figsize=(7, 5), layout="constrained")
ax.plot(depth, d50, color="saddlebrown")
ax.set_ylim(0, 170)
ax.set_xlabel("Depth below seafloor (cm)")
ax.set_ylabel("Median grain size D$_{50}$ (µm)")
ax.set_title("Core GC-07 grain-size profile")
ax.add_artist(AnchoredText("Laser diffraction, 2 cm sampling\nInset: core scan, 10 cm/px", loc="upper left", prop={"size": 9}))
thumb = OffsetImage(core.T, zoom=3, cmap="gray")
ax.add_artist(AnnotationBbox(thumb, (depth[110], d50[110]), xybox=(230, 145), arrowprops={"arrowstyle": "->"}))
plt.show()
