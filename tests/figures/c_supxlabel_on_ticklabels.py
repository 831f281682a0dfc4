"""Defect (text_text): the fig.supxlabel added after tight_layout sits on the bottom row's x tick labels.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(21)
freq = np.logspace(1, 4.3, 200)
fig, axs = plt.subplots(2, 3, figsize=(11, 6), sharex=True, sharey=True)
for i, ax in enumerate(axs.flat):
    mic = f"Mic {i + 1}"
    response = -2 * np.log10(freq / 1000) ** 2 + rng.normal(0, 0.4, freq.size)
    response += 3 * np.exp(-0.5 * ((np.log10(freq) - 3.6 - 0.05 * i) / 0.08) ** 2)
    ax.semilogx(freq, response, lw=1, color="tab:blue")
    ax.set_title(mic, fontsize=10)
    ax.grid(True, which="both", lw=0.3)
ax.set_ylim(-12, 6)
fig.suptitle("Anechoic chamber frequency response, production batch 7")
fig.supylabel("Level re 1 kHz (dB)")
fig.tight_layout()
fig.supxlabel("Frequency (Hz)", y=0.03)
plt.show()
