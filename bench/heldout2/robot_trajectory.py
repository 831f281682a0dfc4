import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(8)

DT = 0.02


def reference_path(t):
    # lemniscate of Gerono, 40 s per loop
    s = 2 * np.pi * t / 40
    return 2.0 * np.sin(s), 1.2 * np.sin(s) * np.cos(s)


def simulate(gain, noise):
    t = np.arange(0, 40, DT)
    x_ref, y_ref = reference_path(t)
    x, y = np.zeros_like(t), np.zeros_like(t)
    for k in range(1, t.size):
        x[k] = x[k - 1] + gain * (x_ref[k - 1] - x[k - 1]) * DT * 10 + rng.normal(0, noise)
        y[k] = y[k - 1] + gain * (y_ref[k - 1] - y[k - 1]) * DT * 10 + rng.normal(0, noise)
    return t, x_ref, y_ref, x, y


def plot_trial(name, gain, noise):
    t, x_ref, y_ref, x, y = simulate(gain, noise)
    err = np.hypot(x - x_ref, y - y_ref) * 100

    fig, (ax_xy, ax_err) = plt.subplots(1, 2, figsize=(10, 4), layout="constrained",
                                        gridspec_kw={"width_ratios": [1.3, 1]})
    ax_xy.plot(x_ref, y_ref, "--", color="0.5", lw=1, label="Reference")
    ax_xy.plot(x, y, color="tab:blue", lw=1.2, label="Measured")
    ax_xy.plot(x[0], y[0], "o", color="tab:green", label="Start")
    ax_xy.set_aspect("equal")
    ax_xy.set_xlabel("x (m)")
    ax_xy.set_ylabel("y (m)")
    ax_xy.set_title(f"Path, {name}")
    ax_xy.set_ylim(-0.9, 1.1)
    ax_xy.legend(loc="upper center", ncol=3, frameon=False)

    rms = np.sqrt(np.mean(err ** 2))
    ax_err.plot(t, err, color="tab:red", lw=0.9)
    ax_err.axhline(rms, color="black", ls=":")
    ax_err.set_xlabel("Time (s)")
    ax_err.set_ylabel("Tracking error (cm)")
    ax_err.set_title(f"Position error (RMS {rms:.1f} cm)")

    fig.savefig(f"tracking_{name.replace(' ', '_').lower()}.png", dpi=110)
    plt.close(fig)


for trial_name, k_p, sigma in [("Trial A", 0.8, 0.004), ("Trial B", 1.5, 0.004),
                               ("Trial C", 1.5, 0.012)]:
    plot_trial(trial_name, k_p, sigma)
