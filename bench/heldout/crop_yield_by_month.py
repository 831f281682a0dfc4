import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(12)

month_names = ["Jan", "Feb", "Mar", "Apr", "May", "Jun",
               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
greenhouses = ["GH-1 (LED)", "GH-2 (HPS)"]

# Tomato harvest in kg per m², greenhouse 1 got supplemental LED lighting in winter
base_curve = 2.0 + 3.0 * np.sin((np.arange(12) - 2) / 12 * np.pi) ** 2
harvest = {
    greenhouses[0]: base_curve + 0.6 * (np.arange(12) < 3) + rng.normal(0, 0.2, 12),
    greenhouses[1]: base_curve + rng.normal(0, 0.2, 12),
}

x = np.arange(12)
width = 0.4

fig, (ax_bar, ax_cum) = plt.subplots(1, 2, figsize=(10, 4), layout="constrained",
                                     gridspec_kw={"width_ratios": [2, 1]})

for k, (name, values) in enumerate(harvest.items()):
    ax_bar.bar(x + (k - 0.5) * width, values, width, label=name)
    ax_cum.plot(x + 1, np.cumsum(values), marker="o", ms=3, label=name)

ax_bar.set_xticks(x, month_names)
ax_bar.set_ylabel("Harvest (kg m$^{-2}$)")
ax_bar.set_title("Monthly tomato harvest, 2023")
ax_bar.legend(frameon=False, loc="upper left")

ax_cum.set_xlabel("Month")
ax_cum.set_ylabel("Cumulative harvest (kg m$^{-2}$)")
ax_cum.set_title("Season total")
ax_cum.set_xticks([3, 6, 9, 12])
ax_cum.grid(alpha=0.3)

fig.savefig("yield_by_month.png", dpi=150)
