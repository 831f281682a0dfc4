import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(2718)

retention = np.linspace(0, 18, 3600)  # minutes
compounds = [
    ("caffeine", 2.9, 0.06, 410),
    ("theobromine", 3.6, 0.07, 120),
    ("paracetamol", 6.8, 0.09, 260),
    ("ibuprofen", 12.4, 0.12, 330),
    ("internal std.", 17.2, 0.10, 520),
]

signal = 4 + 0.3 * retention + rng.normal(0, 1.5, retention.size)
for _, rt, sigma, height in compounds:
    signal += height * np.exp(-0.5 * ((retention - rt) / sigma) ** 2)

fig_a, ax = plt.subplots(figsize=(9, 3.8))
ax.plot(retention, signal, color="black", lw=0.8)
ax.fill_between(retention, 0, signal, color="0.9")

for name, rt, sigma, height in compounds:
    apex = signal[np.argmin(np.abs(retention - rt))]
    ax.annotate(f"{name}\n{rt:.2f} min", xy=(rt, apex), xytext=(rt + 0.6, apex + 40),
                fontsize=9, arrowprops=dict(arrowstyle="-", lw=0.6),
                annotation_clip=False)

ax.set_xlim(0, 18)
ax.set_ylim(0, 600)
ax.set_xlabel("Retention time (min)")
ax.set_ylabel("Absorbance at 254 nm (mAU)")
ax.set_title("HPLC run 0412 — calibration mix B", loc="left")

fig_a.subplots_adjust(left=0.09, right=0.96, bottom=0.15, top=0.9)
fig_a.savefig("hplc_run0412.png", dpi=200)
