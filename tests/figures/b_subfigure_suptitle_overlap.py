"""Defect (text_text): the left subfigure's suptitle, placed with a manual y, lands on top of its axes' title."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(9)
f = np.linspace(1, 500, 400)  # Hz

fig = plt.figure(figsize=(9, 4.5), layout="constrained")
left, right = fig.subfigures(1, 2)
ax = left.subplots()
psd = 1 / f + 1e-3 * rng.random(f.size)
ax.loglog(f, psd, label="Bearing 1")
ax.loglog(f, 2 / f, label="Bearing 2")
ax.set_xlabel("Frequency (Hz)")
ax.set_ylabel("PSD (g²/Hz)")
ax.set_title("Vibration spectrum")
ax.legend(loc="lower left")
left.suptitle("Pump P-101 before overhaul", y=0.99, fontsize=13)
ax = right.subplots()
ax.loglog(f, 0.3 / f, label="Bearing 1")
ax.loglog(f, 0.5 / f, label="Bearing 2")
ax.set_xlabel("Frequency (Hz)")
ax.set_title("Vibration spectrum")
ax.legend(loc="lower left")
right.suptitle("Pump P-101 after overhaul", fontsize=13)
plt.show()
