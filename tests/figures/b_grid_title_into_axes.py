"""Defect (element_element): the lower-right panel's title runs into the axes above in a gridspec with no layout engine."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(44)
t = np.linspace(0, 10, 500)
ecg = np.sin(2 * np.pi * 1.2 * t) ** 15 + rng.normal(0, 0.03, t.size)
hr = 72 + np.cumsum(rng.normal(0, 0.3, 60))

fig = plt.figure(figsize=(9, 6), dpi=100)
gs = fig.add_gridspec(2, 2, height_ratios=[2, 1], hspace=0.03, top=0.84)
ax_top = fig.add_subplot(gs[0, :])
ax_hr = fig.add_subplot(gs[1, 0])
ax_hist = fig.add_subplot(gs[1, 1])
ax_top.plot(t, ecg, lw=0.8)
ax_top.set_ylim(-1.6, 1.2)
ax_top.xaxis.tick_top()
ax_top.xaxis.set_label_position("top")
ax_top.set_xlabel("Time (s)")
ax_top.set_ylabel("Lead II (mV)")
ax_top.set_title("Resting ECG, subject 014")
ax_hr.plot(hr, color="tab:red")
ax_hr.set_xlabel("Beat")
ax_hr.set_ylabel("Heart rate (bpm)")
ax_hist.hist(np.diff(hr), bins=12, color="0.6")
ax_hist.set_xlabel("Δ rate (bpm)")
ax_hist.set_title("Beat-to-beat change in heart rate", fontsize=14)
plt.show()
