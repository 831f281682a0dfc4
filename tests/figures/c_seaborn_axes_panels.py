"""Clean: four seaborn axes-level panels summarising a sleep study on a constrained 2x2 grid.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(12)
groups = ["Control", "CBT-I", "Melatonin"]
n = 80
df = pd.DataFrame({
    "group": np.repeat(groups, n),
    "sleep_h": np.concatenate([rng.normal(m, 0.8, n) for m in (5.9, 6.8, 6.4)]),
    "latency_min": np.concatenate([rng.gamma(3, s, n) for s in (12, 7, 9)]),
})
weeks = np.arange(0, 9)
traj = pd.concat([pd.DataFrame({"group": g, "week": np.tile(weeks, 10),
                                "isi": 18 - d * np.tile(weeks, 10) + rng.normal(0, 2, 90)})
                  for g, d in zip(groups, (0.2, 1.1, 0.6))])

sns.set_theme(style="whitegrid", palette="deep")
fig, axs = plt.subplots(2, 2, figsize=(9, 7), layout="constrained")
sns.boxplot(data=df, x="group", y="sleep_h", hue="group", ax=axs[0, 0], width=0.5)
axs[0, 0].set(xlabel="", ylabel="Total sleep time (h)", title="Sleep duration, week 8")
sns.violinplot(data=df, x="group", y="latency_min", hue="group", ax=axs[0, 1], cut=0)
axs[0, 1].set(xlabel="", ylabel="Sleep onset latency (min)", title="Sleep latency, week 8")
sns.lineplot(data=traj, x="week", y="isi", hue="group", ax=axs[1, 0], n_boot=200, seed=0)
axs[1, 0].set(xlabel="Week", ylabel="Insomnia Severity Index", title="ISI over treatment")
axs[1, 0].set_ylim(0, 24)
axs[1, 0].legend(loc="lower left", ncols=3, fontsize=9, frameon=False)
sns.histplot(data=df, x="sleep_h", hue="group", ax=axs[1, 1], element="step", bins=20)
axs[1, 1].set(xlabel="Total sleep time (h)", ylabel="Participants", title="Distribution of sleep time")
axs[1, 1].set_ylim(0, 15)
sns.move_legend(axs[1, 1], "upper center", ncols=3, title=None, frameon=False, fontsize=9)
fig.suptitle("Sleep intervention pilot (n = 240)")
plt.show()
