"""Defect (over_data): the scatterplot legend is moved to the centre of the axes, on top of the 3000-point cloud.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(77)
n = 3000
vehicle = rng.choice(["hatchback", "saloon", "SUV", "van"], n, p=[0.35, 0.3, 0.25, 0.1])
mass = {"hatchback": 1150, "saloon": 1450, "SUV": 1850, "van": 2100}
kerb = np.array([mass[v] for v in vehicle]) + rng.normal(0, 160, n)
consumption = 2.2 + 0.0031 * kerb + rng.normal(0, 0.6, n)
df = pd.DataFrame({"vehicle": vehicle, "kerb_kg": kerb, "l_per_100km": consumption})

sns.set_theme(style="ticks")
fig, ax = plt.subplots(figsize=(7, 5), layout="constrained")
sns.scatterplot(data=df, x="kerb_kg", y="l_per_100km", hue="vehicle", s=10,
                alpha=0.7, linewidth=0, ax=ax)
ax.set_xlabel("Kerb weight (kg)")
ax.set_ylabel("Fuel consumption (L/100 km)")
ax.set_title("WLTP test fleet, petrol engines")
sns.move_legend(ax, "center", title="Body type", frameon=True)
plt.show()
