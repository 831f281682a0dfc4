"""Clean: yields from a fertiliser × irrigation field trial as a 3D bar chart."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(2)
n_rates, n_irr = 5, 4
N, I = np.meshgrid(np.arange(n_rates), np.arange(n_irr), indexing="ij")
yield_t = 3 + 0.6 * N - 0.05 * N**2 + 0.5 * I + rng.normal(0, 0.15, N.shape)

fig = plt.figure(figsize=(7, 6), dpi=100, layout="constrained")
ax = fig.add_subplot(projection="3d")
colors = plt.cm.YlGn(np.linspace(0.35, 0.9, n_irr))[I.ravel()]
ax.bar3d(N.ravel(), I.ravel(), 0, 0.6, 0.6, yield_t.ravel(), color=colors, shade=True)
ax.set_xticks(np.arange(n_rates) + 0.3, labels=["0", "40", "80", "120", "160"])
ax.set_yticks(np.arange(n_irr) + 0.3, labels=["0", "50", "100", "150"])
ax.set_xlabel("Nitrogen (kg/ha)")
ax.set_ylabel("Irrigation (mm)")
ax.set_zlabel("Grain yield (t/ha)")
ax.set_title("Winter wheat trial, 2022")
plt.show()
