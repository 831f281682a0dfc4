import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(101)

regions = ["Northern Plains", "Central Valley", "Eastern Uplands",
           "Coastal Lowlands", "River Delta", "Southern Plateau"]
n_rates = np.array([0, 40, 80, 120, 160, 200, 240])

fig, axs = plt.subplots(2, 3, figsize=(9, 5.5), sharey=True)
for ax, region in zip(axs.flat, regions):
    y_max = rng.uniform(7.5, 11.5)
    y0 = rng.uniform(2.5, 4.5)
    n_opt = rng.uniform(140, 220)
    # quadratic-plateau response to nitrogen
    mean_yield = np.where(
        n_rates < n_opt,
        y0 + (y_max - y0) * (2 * n_rates / n_opt - (n_rates / n_opt) ** 2),
        y_max,
    )
    reps = mean_yield[:, None] + rng.normal(0, 0.45, (len(n_rates), 4))

    x = np.repeat(n_rates, 4)
    ax.scatter(x, reps.ravel(), s=12, color="seagreen", alpha=0.6)
    coef = np.polyfit(x, reps.ravel(), 2)
    grid = np.linspace(0, 240, 100)
    ax.plot(grid, np.polyval(coef, grid), color="darkgreen", lw=1.5)

    eonr = -coef[1] / (2 * coef[0])
    if 0 < eonr < 240:
        ax.axvline(eonr, color="0.5", ls=":", lw=1)

    ax.set_title(f"{region} (n = {reps.size})")
    ax.set_xlabel("Nitrogen rate (kg N ha$^{-1}$)")
    ax.set_ylabel("Grain yield (t ha$^{-1}$)")
    ax.set_xticks(n_rates[::2])

fig.suptitle("Maize yield response to nitrogen, 2023 on-farm trials")
fig.savefig("maize_n_response_regions.png", dpi=150)
