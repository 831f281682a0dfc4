import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(5)

countries = [
    "United Kingdom",
    "Democratic Republic of the Congo",
    "Bosnia and Herzegovina",
    "United Arab Emirates",
    "Central African Republic",
    "Papua New Guinea",
    "Trinidad and Tobago",
    "Saint Vincent and the Grenadines",
    "Dominican Republic",
    "Equatorial Guinea",
    "South Africa",
    "New Zealand",
]
growth_2023 = np.round(rng.normal(2.2, 2.4, len(countries)), 1)
growth_2022 = np.round(growth_2023 + rng.normal(0.6, 1.5, len(countries)), 1)

order = np.argsort(growth_2023)[::-1]
names = [countries[i] for i in order]
g23 = growth_2023[order]
g22 = growth_2022[order]

plt.figure(figsize=(8, 4.5))
colors = np.where(g23 >= 0, "#2c7fb8", "#d95f0e")
plt.bar(names, g23, color=colors, width=0.7, label="2023")
plt.scatter(names, g22, marker="_", s=250, color="black", zorder=3,
            label="2022")
plt.axhline(0, color="0.3", lw=0.8)
plt.ylabel("Real GDP growth (%)")
plt.title("Real GDP growth, selected economies")
plt.legend(frameon=False)
plt.grid(axis="y", alpha=0.3)
plt.tight_layout()
plt.savefig("gdp_growth_selected.png", dpi=120)
