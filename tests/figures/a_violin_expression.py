"""Clean: violin plot of gene expression across four tissues.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(101)
tissues = ["liver", "kidney", "brain", "muscle"]
expr = [rng.normal(m, s, 120) for m, s in ((7.5, 0.8), (6.2, 1.1), (3.9, 0.6), (5.1, 1.4))]

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.violinplot(expr, showmedians=True)
ax.set_xticks(range(1, 5), tissues)
ax.set_ylabel("log2 TPM")
ax.set_xlabel("Tissue")
ax.set_title("CYP2E1 expression, 120 donors")
ax.set_ylim(0, 12)
plt.show()
