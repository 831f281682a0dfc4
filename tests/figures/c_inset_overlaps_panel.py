"""Clean: the zoom inset added with fig.add_axes straddles the gap between the panels; it covers only their frames' corners, no data or label.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(4)
wn = np.linspace(400, 1800, 1400)
def peaks(centres, widths, heights):
    return sum(h * np.exp(-0.5 * ((wn - c) / w) ** 2) for c, w, h in zip(centres, widths, heights))

sample = peaks([520, 1001, 1085, 1450, 1602], [8, 5, 9, 14, 10], [0.4, 1.0, 0.55, 0.3, 0.7])
sample += 0.02 * rng.standard_normal(wn.size) + 0.05
reference = peaks([520, 1001, 1450, 1602], [8, 5, 14, 10], [0.42, 1.0, 0.28, 0.68]) + 0.05

fig, (ax1, ax2) = plt.subplots(1, 2, figsize=(10, 4), dpi=90, sharey=True)
fig.subplots_adjust(wspace=0.1, bottom=0.14)
ax1.plot(wn, sample, lw=0.9, color="tab:purple")
ax1.set(xlabel="Raman shift (cm⁻¹)", ylabel="Intensity (a.u.)", title="Sample B-17")
ax2.plot(wn, reference, lw=0.9, color="tab:gray")
ax2.set(xlabel="Raman shift (cm⁻¹)", title="Polystyrene reference")
# zoom on the 1085 band that the reference lacks
inset = fig.add_axes([0.46, 0.6, 0.2, 0.24])
band = (wn > 1040) & (wn < 1130)
inset.plot(wn[band], sample[band], color="tab:purple")
inset.tick_params(labelsize=7)
plt.show()
