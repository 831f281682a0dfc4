"""Clean: a peak label drawn twice at one place, a white halo under the black text."""
import matplotlib.patheffects as pe
import matplotlib.pyplot as plt
import numpy as np

x = np.linspace(0, 10, 400)
y = np.exp(-(x - 6) ** 2) + 0.1 * np.sin(3 * x)
fig, ax = plt.subplots(figsize=(5, 3.5), layout="constrained")
ax.plot(x, y, color="tab:red")
ax.text(2.0, 0.9, "resonance at 6 kHz", color="w", fontsize=11, path_effects=[pe.withStroke(linewidth=7, foreground="w")])
ax.text(2.0, 0.9, "resonance at 6 kHz", color="k", fontsize=11)
ax.set_xlabel("Frequency (kHz)")
ax.set_ylabel("Amplitude (a.u.)")
plt.show()
