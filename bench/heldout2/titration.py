import numpy as np
import matplotlib.pyplot as plt

KW = 1e-14
C_BASE = 0.100   # mol/L NaOH
V_ACID = 25.0    # mL

acids = {
    "HCl 0.100 M": (0.100, [1e3]),
    "CH$_3$COOH 0.100 M": (0.100, [1.8e-5]),
    "H$_3$PO$_4$ 0.050 M": (0.050, [7.1e-3, 6.3e-8, 4.5e-13]),
}


def ph_after_addition(v_base, c_acid, kas):
    """Solve the charge balance for [H+] by bisection in log space."""
    v_tot = V_ACID + v_base
    ca = c_acid * V_ACID / v_tot
    na = C_BASE * v_base / v_tot
    lo, hi = -14.0, 0.0
    for _ in range(60):
        h = 10 ** (0.5 * (lo + hi))
        terms = np.cumprod([1.0] + [ka / h for ka in kas])
        fractions = terms / terms.sum()
        anion = ca * np.dot(np.arange(len(terms)), fractions)
        imbalance = h + na - KW / h - anion
        lo, hi = (lo, 0.5 * (lo + hi)) if imbalance > 0 else (0.5 * (lo + hi), hi)
    return -0.5 * (lo + hi)


volumes = np.linspace(0, 40, 801)
fig, ax = plt.subplots(figsize=(7, 5))
for (name, (c_acid, kas)), color in zip(acids.items(), ["tab:blue", "tab:orange", "tab:green"]):
    ph = np.array([ph_after_addition(v, c_acid, kas) for v in volumes])
    ax.plot(volumes, ph, color=color, lw=1.6, label=name)

    n_eq = min(len(kas), 2)
    for k in range(1, n_eq + 1):
        v_eq = k * c_acid * V_ACID / C_BASE
        ph_eq = ph_after_addition(v_eq, c_acid, kas)
        ax.plot(v_eq, ph_eq, "o", color=color, ms=6, mec="black")
        ax.text(v_eq + 0.6, ph_eq, f"Equivalence point\nV = {v_eq:.2f} mL\npH = {ph_eq:.2f}",
                va="center", ha="left", fontsize=9, color=color)

ax.set_xlim(0, 40)
ax.set_ylim(0, 14)
ax.set_xlabel("Volume of NaOH added (mL)")
ax.set_ylabel("pH")
ax.set_title("Titration of 25.0 mL acid with 0.100 M NaOH")
ax.legend(loc="lower right")
ax.grid(alpha=0.3)
fig.savefig("titration_curves.png", dpi=150, bbox_inches="tight")
