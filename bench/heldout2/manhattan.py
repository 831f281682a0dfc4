import numpy as np
import pandas as pd
import matplotlib.pyplot as plt
import seaborn as sns

rng = np.random.default_rng(1234)
sns.set_theme(style="ticks", context="notebook")

chrom_sizes = np.array([249, 242, 198, 190, 181, 171, 159, 145, 138, 134, 135,
                        133, 114, 107, 102, 90, 83, 80, 59, 64, 47, 51]) * 1e6
snps_per_mb = 20

frames = []
for chrom, size in enumerate(chrom_sizes, start=1):
    n = int(size / 1e6 * snps_per_mb)
    pos = np.sort(rng.uniform(0, size, n))
    p = rng.uniform(size=n)
    frames.append(pd.DataFrame({"chrom": chrom, "pos": pos, "p": p}))
gwas = pd.concat(frames, ignore_index=True)

# two association peaks with LD decay around the lead SNP
for chrom, centre, strength in [(6, 32.6e6, 18), (11, 68.2e6, 9.5)]:
    mask = (gwas.chrom == chrom) & (np.abs(gwas.pos - centre) < 1.5e6)
    decay = np.exp(-np.abs(gwas.loc[mask, "pos"] - centre) / 6e5)
    gwas.loc[mask, "p"] = 10 ** (-strength * decay * rng.uniform(0.7, 1, mask.sum()))

offsets = np.concatenate([[0], np.cumsum(chrom_sizes)[:-1]])
gwas["x"] = gwas.pos + offsets[gwas.chrom - 1]
gwas["logp"] = -np.log10(gwas.p)

fig, ax = plt.subplots(figsize=(13, 4.5), layout="constrained")
palette = ["#3b5b92", "#9bb3d6"]
for chrom, sub in gwas.groupby("chrom"):
    ax.scatter(sub.x, sub.logp, s=4, color=palette[chrom % 2], linewidths=0)

ax.axhline(-np.log10(5e-8), color="crimson", lw=1, ls="--", label="Genome-wide (5×10$^{-8}$)")
ax.axhline(-np.log10(1e-5), color="0.5", lw=1, ls=":", label="Suggestive (10$^{-5}$)")
ax.set_xticks(offsets + chrom_sizes / 2, [str(c) for c in range(1, 23)])
ax.tick_params(axis="x", labelsize=9)
ax.set_xlim(0, chrom_sizes.sum())
ax.set_ylim(0, gwas.logp.max() * 1.1)
ax.set_xlabel("Chromosome")
ax.set_ylabel(r"$-\log_{10}(p)$")
ax.set_title("Serum urate GWAS, discovery cohort (n = 48,210)")
ax.legend(loc="upper right", frameon=False)
sns.despine(ax=ax)

plt.show()
