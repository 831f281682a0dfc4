import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(2024)

age_groups = ["0–4", "5–17", "18–39", "40–64", "65–79", "80+"]
share = np.array([0.06, 0.14, 0.31, 0.27, 0.14, 0.08])
weeks = np.arange(1, 27)

# epidemic wave peaking early in the season plus a low endemic floor
expected = 900 * np.exp(-0.5 * ((weeks - 6) / 3.5) ** 2) + 60
counts = rng.poisson(np.outer(expected, share))
totals = counts.sum(axis=1)
rolling = np.convolve(totals, np.ones(3) / 3, mode="same")

fig, ax = plt.subplots(figsize=(9, 5))
colors = plt.cm.viridis(np.linspace(0.05, 0.95, len(age_groups)))
bottom = np.zeros(len(weeks))
for j, group in enumerate(age_groups):
    ax.bar(weeks, counts[:, j], bottom=bottom, width=0.85,
           color=colors[j], label=group)
    bottom += counts[:, j]

ax.plot(weeks[1:-1], rolling[1:-1], color="black", lw=1.5,
        label="3-week average")

ax.set_xlim(0.3, weeks[-1] + 0.7)
ax.set_xticks(weeks[::2])
ax.set_xlabel("Epidemiological week (2023)")
ax.set_ylabel("Confirmed cases")
ax.set_title("Weekly confirmed cases by age group, District 3")
ax.legend(loc="upper left", title="Age (years)", ncol=2, fontsize=10)
ax.spines[["top", "right"]].set_visible(False)

fig.tight_layout()
fig.savefig("cases_by_age_group.png", dpi=200)
