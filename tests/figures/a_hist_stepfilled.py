"""Defect (over_data): the legend is placed on the dense filled histogram peak.

Fluorescence intensity of cells from a flow cytometry run, two stains.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(31)
gfp = rng.normal(3.2, 0.35, 20000)
rfp = rng.normal(3.5, 0.30, 20000)

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.hist(gfp, bins=80, range=(2, 4.5), histtype="stepfilled", alpha=0.7, label="GFP")
ax.hist(rfp, bins=80, range=(2, 4.5), histtype="stepfilled", alpha=0.7, label="RFP")
ax.set_xlabel("log10 fluorescence (a.u.)")
ax.set_ylabel("Cells per bin")
ax.set_title("Flow cytometry, sample 12")
ax.set_xlim(2, 4.5)
ax.legend(loc="center", fontsize=12)
plt.show()
