"""Defect (text_text): the figure legend at lower center sits on top of the x label.

Photometry of a variable star, two filters, dark style for the observatory screen.
"""
import matplotlib.pyplot as plt
import numpy as np

plt.style.use("dark_background")

rng = np.random.default_rng(19)
phase = np.sort(rng.uniform(0, 2, 150))
v = 11.2 + 0.4 * np.sin(2 * np.pi * phase) + rng.normal(0, 0.03, 150)
b = 11.7 + 0.55 * np.sin(2 * np.pi * phase + 0.2) + rng.normal(0, 0.03, 150)

fig, ax = plt.subplots(figsize=(6, 4))
ax.plot(phase, v, ".", color="yellowgreen", label="V band")
ax.plot(phase, b, ".", color="deepskyblue", label="B band")
ax.invert_yaxis()
ax.set_xlabel("Pulsation phase")
ax.set_ylabel("Apparent magnitude")
ax.set_title("RR Lyrae candidate, night of 3 Oct")
fig.subplots_adjust(bottom=0.14)
fig.legend(loc="lower center", ncols=2, fontsize=9)
plt.show()
