import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(19)

n_trials = 40
t_start, t_stop = -0.5, 1.5
stim_on, stim_off = 0.0, 0.5
bin_width = 0.02


def rate(t):
    """Firing rate in Hz: baseline, transient onset burst, sustained response."""
    onset = 60 * np.exp(-0.5 * ((t - 0.06) / 0.025) ** 2)
    sustained = np.where((t > stim_on) & (t < stim_off), 18, 0)
    return 6 + onset + sustained


# inhomogeneous Poisson spikes by thinning
rate_max = 90
trials = []
for _ in range(n_trials):
    n = rng.poisson(rate_max * (t_stop - t_start))
    cand = np.sort(rng.uniform(t_start, t_stop, n))
    keep = rng.uniform(0, rate_max, n) < rate(cand)
    trials.append(cand[keep])

edges = np.arange(t_start, t_stop + bin_width, bin_width)
counts = sum(np.histogram(spikes, edges)[0] for spikes in trials)
psth = counts / (n_trials * bin_width)

fig_raster = plt.figure(figsize=(6.5, 6), layout="constrained")
gs = fig_raster.add_gridspec(2, 1, height_ratios=[2.2, 1], hspace=0.05)
ax_raster = fig_raster.add_subplot(gs[0])
ax_psth = fig_raster.add_subplot(gs[1], sharex=ax_raster)

ax_raster.eventplot(trials, colors="black", linelengths=0.8, linewidths=0.8)
ax_raster.axvspan(stim_on, stim_off, color="gold", alpha=0.25, lw=0)
ax_raster.set_ylabel("Trial")
ax_raster.set_ylim(-1, n_trials)
ax_raster.set_title("Unit 12, V1 layer 4 — drifting grating 90°")
ax_raster.tick_params(labelbottom=False)

ax_psth.bar(edges[:-1], psth, width=bin_width, align="edge", color="0.3")
ax_psth.axvspan(stim_on, stim_off, color="gold", alpha=0.25, lw=0)
ax_psth.set_xlim(t_start, t_stop)
ax_psth.set_xlabel("Time from stimulus onset (s)")
ax_psth.set_ylabel("Rate (spikes/s)")

fig_raster.savefig("unit12_raster_psth.png", dpi=200)
