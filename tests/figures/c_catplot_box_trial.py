"""Clean: catplot box plots of systolic blood pressure change per trial arm and visit.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(42)
arms = {"Placebo": 0.0, "10 mg": -6.0, "20 mg": -11.0}
rows = []
for arm, effect in arms.items():
    for visit, frac in [("Week 4", 0.5), ("Week 8", 0.8), ("Week 12", 1.0)]:
        delta = effect * frac + rng.normal(-1.5, 7.0, 60)
        rows.append(pd.DataFrame({"arm": arm, "visit": visit, "delta_sbp": delta}))
df = pd.concat(rows, ignore_index=True)

sns.set_theme(style="whitegrid", palette="Set2")
g = sns.catplot(data=df, x="visit", y="delta_sbp", hue="arm", kind="box",
                height=4, aspect=1.5, width=0.7, fliersize=2)
g.set_axis_labels("Study visit", "Δ systolic BP vs baseline (mmHg)")
g.ax.axhline(0, color="0.4", lw=0.8, ls="--")
g.ax.set_title("Randomised phase II trial, per-protocol set")
g.tight_layout()
plt.show()
