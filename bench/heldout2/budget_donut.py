import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(77)

categories = [
    "Personnel (PhD students)",
    "Personnel (postdocs)",
    "Equipment",
    "Consumables",
    "Travel",
    "Conference fees",
    "Open-access publishing",
    "Computing (cloud credits)",
    "Subcontracting",
    "Audit certificate",
    "Dissemination",
    "Indirect costs (25 %)",
]
direct = np.array([412, 298, 180, 64, 22, 9, 12, 15, 48, 4, 7, 0], dtype=float)
direct[:-1] *= rng.uniform(0.95, 1.05, len(direct) - 1)
direct[-1] = 0.25 * direct[:-1].sum()

colors = plt.cm.tab20(np.arange(len(categories)))

plt.figure(figsize=(6, 6))
plt.pie(
    direct,
    labels=categories,
    colors=colors,
    autopct="%1.1f%%",
    pctdistance=0.82,
    startangle=90,
    counterclock=False,
    wedgeprops={"width": 0.35, "edgecolor": "white"},
    textprops={"fontsize": 9},
)
plt.text(0, 0, f"€{direct.sum():,.0f}k\ntotal", ha="center", va="center",
         fontsize=14, weight="bold")
plt.title("Budget breakdown, ERC grant 101045xxx")
plt.axis("equal")
plt.show()
