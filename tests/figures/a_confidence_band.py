"""Clean: fitted growth curve with a 95 % confidence band; the x range is trimmed to the stable part.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(64)
x = np.linspace(0, 1, 200)
mean = 1.8 / (1 + np.exp(-10 * (x - 0.45)))
half = 0.08 + 0.1 * x
obs_x = np.sort(rng.uniform(0, 1, 40))
obs = 1.8 / (1 + np.exp(-10 * (obs_x - 0.45))) + rng.normal(0, 0.08, 40)

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.fill_between(x, mean - half, mean + half, color="tab:blue", alpha=0.25, label="95 % CI")
ax.plot(x, mean, color="tab:blue", label="logistic fit")
ax.plot(obs_x, obs, "k.", label="OD600 readings")
ax.set_xlim(0.05, 0.95)
ax.set_ylim(-0.2, 2.4)
ax.set_xlabel("Relative culture time")
ax.set_ylabel("Optical density (OD600)")
ax.set_title("E. coli growth, strain MG1655")
ax.legend(loc="upper left")
plt.show()
