"""Clean: three pandas panels (scatter, histogram, box) of tensile tests on 3D-printed coupons.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

rng = np.random.default_rng(29)
n = 90
infill = rng.choice([20, 50, 80], n)
strength = 18 + 0.32 * infill + rng.normal(0, 3.0, n)
df = pd.DataFrame({
    "infill_pct": infill + rng.uniform(-3, 3, n),
    "uts_mpa": strength,
    "elong_pct": 2.5 + 0.02 * infill + rng.normal(0, 0.5, n),
})
by_infill = pd.DataFrame({f"{p} %": df.loc[infill == p, "uts_mpa"].reset_index(drop=True)
                          for p in (20, 50, 80)})

fig, axs = plt.subplots(1, 3, figsize=(13, 4), layout="constrained")
df.plot.scatter(x="uts_mpa", y="elong_pct", c="infill_pct", cmap="viridis",
                s=18, ax=axs[0], colorbar=True)
axs[0].set(xlabel="Ultimate tensile strength (MPa)", ylabel="Elongation at break (%)",
           title="Strength vs ductility")
df["uts_mpa"].plot(kind="hist", bins=15, ax=axs[1], color="tab:orange", edgecolor="white")
axs[1].set(xlabel="Ultimate tensile strength (MPa)", ylabel="Coupons", title="UTS distribution")
by_infill.plot(kind="box", ax=axs[2])
axs[2].set(xlabel="Infill density", ylabel="Ultimate tensile strength (MPa)", title="UTS by infill")
fig.suptitle("PLA coupons, ASTM D638 type IV, 5 mm/min")
plt.show()
