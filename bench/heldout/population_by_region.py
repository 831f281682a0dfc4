import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(1000)

YEARS = np.arange(1950, 2051)
REGIONS = {
    "Northern Highlands": (1.2e6, 0.004, 2030),
    "Coastal Plain": (3.4e6, 0.015, 2045),
    "River Delta": (5.1e6, 0.021, 2060),
}


def logistic_population(p0, rate, peak_year):
    capacity = p0 * np.exp(rate * (peak_year - YEARS[0])) * 1.4
    return capacity / (1 + (capacity / p0 - 1) * np.exp(-rate * 2 * (YEARS - YEARS[0])))


def plot_region(name, p0, rate, peak_year):
    pop = logistic_population(p0, rate, peak_year)
    observed = YEARS <= 2023
    census = pop[observed][::10] * rng.normal(1, 0.01, observed[::10].sum())

    fig, ax = plt.subplots(figsize=(6, 3.5))
    ax.plot(YEARS[observed], pop[observed] / 1e6, color="tab:green", label="estimate")
    ax.plot(YEARS[~observed], pop[~observed] / 1e6, color="tab:green", ls="--", label="projection")
    ax.plot(YEARS[observed][::10], census / 1e6, "ko", ms=4, label="census")
    ax.set_title(name)
    ax.set_xlabel("Year")
    ax.set_ylabel("Population (millions)")
    ax.set_xlim(YEARS[0], YEARS[-1])
    ax.legend(loc="upper left", frameon=False)
    fig.tight_layout()
    fname = name.lower().replace(" ", "_") + "_population.png"
    fig.savefig(fname, dpi=120)
    plt.close(fig)
    return fname


if __name__ == "__main__":
    for region, params in REGIONS.items():
        print("wrote", plot_region(region, *params))
