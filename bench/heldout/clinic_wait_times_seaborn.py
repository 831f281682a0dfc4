import numpy as np
import pandas as pd
import seaborn as sns
import matplotlib.pyplot as plt

rng = np.random.default_rng(404)

clinics = ["Central", "Eastside", "Harbour", "Hillview"]
weekdays = ["Mon", "Tue", "Wed", "Thu", "Fri"]

rows = []
for clinic_idx, clinic in enumerate(clinics):
    for day_idx, day in enumerate(weekdays):
        n_visits = rng.integers(40, 90)
        median_wait = 18 + 4 * clinic_idx + (6 if day == "Mon" else 0) - day_idx
        waits = rng.lognormal(np.log(median_wait), 0.45, n_visits)
        rows.extend({"clinic": clinic, "weekday": day, "wait_min": w} for w in waits)

visits = pd.DataFrame(rows)

sns.set_theme(style="whitegrid", context="notebook")
fig, axes = plt.subplots(1, 2, figsize=(11, 4.5), sharey=True)

sns.boxplot(data=visits, x="weekday", y="wait_min", hue="clinic", ax=axes[0],
            fliersize=2, linewidth=0.8)
axes[0].set_xlabel("")
axes[0].set_ylabel("Wait until seen (min)")
axes[0].set_title("Waiting time by weekday")
axes[0].legend(title="Clinic", ncol=2, fontsize=8, title_fontsize=9, loc="upper right")

summary = visits.groupby("clinic")["wait_min"].quantile(0.9).reset_index()
sns.barplot(data=summary, x="clinic", y="wait_min", ax=axes[1], color="slategray")
axes[1].axhline(45, color="firebrick", ls="--", lw=1)
axes[1].text(-0.45, 46, "target", color="firebrick", ha="left", va="bottom", fontsize=9)
axes[1].set_xlabel("")
axes[1].set_ylabel("")
axes[1].set_title("90th percentile wait")

fig.tight_layout()
fig.savefig("clinic_waits_q3.png", dpi=150)
