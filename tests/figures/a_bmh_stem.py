"""Clean: stem plot of a vibration spectrum in the bmh style, shaft harmonics visible.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(15)
freq = np.arange(0, 200, 5)
amp = 0.02 + 0.01 * rng.random(freq.size)
for h, a in ((25, 1.0), (50, 0.45), (75, 0.3), (150, 0.15)):
    amp[freq == h] += a

with plt.style.context("bmh"):
    fig, ax = plt.subplots(figsize=(6.5, 4), dpi=100, layout="constrained")
    ax.stem(freq, amp, basefmt=" ")
    ax.set_xlabel("Frequency (Hz)")
    ax.set_ylabel("Acceleration amplitude (g)")
    ax.set_title("Pump P-3 bearing housing, 1500 rpm")
    ax.set_ylim(0, 1.2)
plt.show()
