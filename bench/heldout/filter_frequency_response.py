import numpy as np
import matplotlib.pyplot as plt
from matplotlib.ticker import LogLocator, FormatStrFormatter

rng = np.random.default_rng(17)

freq = np.logspace(0, 5, 600)  # Hz
w = 2 * np.pi * freq

def butterworth_lp(w, wc, order):
    return 1 / np.sqrt(1 + (w / wc) ** (2 * order))

fc_design = 1.2e3
measured_f = np.logspace(0.3, 4.8, 40)
measured_gain = butterworth_lp(2 * np.pi * measured_f, 2 * np.pi * fc_design * 0.97, 4)
measured_gain *= 10 ** (rng.normal(0, 0.3, measured_f.size) / 20)

fig, ax = plt.subplots(figsize=(7.5, 4.5))
for order, style in [(2, "--"), (4, "-"), (6, ":")]:
    gain_db = 20 * np.log10(butterworth_lp(w, 2 * np.pi * fc_design, order))
    ax.semilogx(freq, gain_db, style, color="navy", lw=1.2, label=f"order {order} (model)")

ax.semilogx(measured_f, 20 * np.log10(measured_gain), "o", color="crimson", ms=4,
            label="board rev C, measured")
ax.axvline(fc_design, color="0.5", lw=0.8)

ax.xaxis.set_major_locator(LogLocator(base=10, numticks=12))
ax.xaxis.set_minor_locator(LogLocator(base=10, subs=np.arange(2, 10), numticks=100))
# plain numbers so the cutoff can be read straight off the plot
ax.xaxis.set_major_formatter(FormatStrFormatter("%g"))
ax.xaxis.set_minor_formatter(FormatStrFormatter("%g"))
ax.tick_params(axis="x", which="minor", labelsize=8)

ax.set_xlim(1, 1e5)
ax.set_ylim(-120, 5)
ax.set_xlabel("Frequency (Hz)")
ax.set_ylabel("Gain (dB)")
ax.set_title("Anti-aliasing filter: model vs. measurement")
ax.grid(which="both", alpha=0.25)
ax.legend(loc="lower left")

fig.tight_layout()
plt.show()
