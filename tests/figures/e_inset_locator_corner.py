"""Clean: a decaying pressure trace with an inset_locator inset of its spectrum in the empty upper-right corner."""
import matplotlib.pyplot as plt
import numpy as np
from mpl_toolkits.axes_grid1.inset_locator import inset_axes

rng = np.random.default_rng(44)
t = np.linspace(0, 2, 4000)
p = 3.0 * np.exp(-t / 0.35) * np.sin(2 * np.pi * 55 * t) + 0.05 * rng.standard_normal(t.size)
freq = np.fft.rfftfreq(t.size, t[1] - t[0])
amp = np.abs(np.fft.rfft(p)) / t.size

fig, ax = plt.subplots(figsize=(7, 4.5))
ax.plot(t, p, lw=0.7)
ax.set_xlim(0, 2)
ax.set_ylim(-3.2, 3.2)
ax.set_xlabel("Time after valve closure (s)")
ax.set_ylabel("Gauge pressure (kPa)")
ax.set_title("Water hammer in the feed line")

axin = inset_axes(ax, width="38%", height="30%", loc="upper right", borderpad=1.6)
axin.plot(freq, amp, color="C3", lw=0.9)
axin.set_xlim(0, 150)
axin.set_title("Spectrum (Hz)", fontsize=8, pad=2)
axin.tick_params(labelsize=7)
axin.set_yticks([])
plt.show()
