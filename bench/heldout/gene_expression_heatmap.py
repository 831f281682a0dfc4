import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(314)

genes = [f"{p}{i}" for p, i in zip(
    ["CDK", "MYC", "TP", "BRCA", "EGFR", "KRAS", "PTEN", "RB", "VEGF", "HIF1A-AS", "SOX", "GAPDH"],
    [1, 1, 53, 2, "", "", "", 1, "A", 2, 2, ""],
)]
samples = [f"T{t:02d}_{arm}" for arm in ("ctrl", "drug") for t in (0, 2, 6, 12, 24, 48)]

base = rng.normal(8, 1.5, (len(genes), 1))
response = rng.normal(0, 1, (len(genes), 1)) * np.r_[np.zeros(6), np.log1p([0, 2, 6, 12, 24, 48])]
log_expr = base + response + rng.normal(0, 0.3, (len(genes), len(samples)))
zscore = (log_expr - log_expr.mean(axis=1, keepdims=True)) / log_expr.std(axis=1, keepdims=True)

fig, ax = plt.subplots(figsize=(8, 5.5))
im = ax.imshow(zscore, cmap="RdBu_r", vmin=-2.5, vmax=2.5, aspect="auto")

ax.set_xticks(range(len(samples)), labels=samples, rotation=45, ha="right")
ax.set_yticks(range(len(genes)), labels=genes)
ax.set_xlabel("Sample (time point, h)")
ax.set_title("Time-course expression, row z-score")

cbar = fig.colorbar(im, ax=ax, orientation="horizontal", fraction=0.04, pad=0.22)
cbar.set_ticks(np.arange(-2.5, 2.51, 0.25))
cbar.ax.tick_params(labelsize=10)
cbar.set_label("z-score of log2(TPM + 1)")

fig.savefig("timecourse_heatmap.png", dpi=150, bbox_inches="tight")
