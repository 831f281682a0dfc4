import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(42)

period = 3.5247  # days
t0 = 1.12
duration = 0.13
depth = 0.0085

time = np.sort(rng.uniform(0, 27.4, 6000))
phase = ((time - t0 + 0.5 * period) % period) / period - 0.5

# trapezoid-ish transit with slow stellar variability and white noise
in_transit = np.abs(phase * period) < duration / 2
model = 1 - depth * in_transit * (1 - (2 * np.abs(phase * period) / duration) ** 6)
variability = 0.002 * np.sin(2 * np.pi * time / 11.3)
flux = model + variability + rng.normal(0, 0.0012, time.size)
detrended = flux - variability

bins = np.linspace(-0.08, 0.08, 61)
centers = 0.5 * (bins[1:] + bins[:-1])
idx = np.digitize(phase, bins) - 1
binned = np.array([detrended[idx == k].mean() for k in range(len(centers))])

fig = plt.figure(figsize=(8, 6), layout="constrained")
gs = fig.add_gridspec(2, 1, height_ratios=[1, 1.2])

ax_raw = fig.add_subplot(gs[0])
ax_raw.plot(time, flux, ".", ms=1.5, color="0.35")
ax_raw.set_xlabel("Time (BTJD − 2459000)")
ax_raw.set_ylabel("Normalised flux")
ax_raw.set_title("Sector 42 photometry, TIC 1187 3552")

ax_fold = fig.add_subplot(gs[1])
ax_fold.plot(phase * period * 24, detrended, ".", ms=1.5, color="0.7",
             label="Detrended")
ax_fold.plot(centers * period * 24, binned, "o", ms=4, color="crimson",
             label=f"Binned ({(bins[1] - bins[0]) * period * 1440:.0f} min)")
ax_fold.set_xlim(-6, 6)
ax_fold.set_xlabel("Hours from mid-transit")
ax_fold.set_ylabel("Normalised flux")
ax_fold.set_title(f"Phase-folded, P = {period:.4f} d")
ax_fold.legend(loc="lower left", frameon=False)

fig.savefig("tic_lightcurve.png", dpi=150, bbox_inches="tight")
