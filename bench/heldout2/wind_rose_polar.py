import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(90)

# a prevailing south-westerly with a secondary northerly mode
n_obs = 8760
mode = rng.uniform(size=n_obs) < 0.7
direction = np.where(mode, rng.normal(225, 30, n_obs), rng.normal(10, 25, n_obs)) % 360
speed = np.where(mode, rng.weibull(2.0, n_obs) * 8.5, rng.weibull(2.2, n_obs) * 5.0)

sectors = np.arange(0, 360, 22.5)
sector_idx = np.round(direction / 22.5).astype(int) % 16
speed_bins = [0, 2, 4, 6, 8, 12, np.inf]
speed_labels = ["0–2", "2–4", "4–6", "6–8", "8–12", "> 12"]
speed_idx = np.digitize(speed, speed_bins) - 1

freq = np.zeros((len(speed_labels), 16))
np.add.at(freq, (speed_idx, sector_idx), 1)
freq = 100 * freq / n_obs

theta = np.deg2rad(sectors)
width = np.deg2rad(22.5) * 0.9
colors = plt.cm.YlGnBu(np.linspace(0.25, 1.0, len(speed_labels)))

fig, ax = plt.subplots(figsize=(7, 5.5), layout="constrained",
                       subplot_kw={"projection": "polar"})
ax.set_theta_zero_location("N")
ax.set_theta_direction(-1)
bottom = np.zeros(16)
for k, label in enumerate(speed_labels):
    ax.bar(theta, freq[k], width=width, bottom=bottom, color=colors[k],
           edgecolor="white", linewidth=0.5, label=label)
    bottom += freq[k]

ax.set_xticks(np.deg2rad([0, 45, 90, 135, 180, 225, 270, 315]),
              ["N", "NE", "E", "SE", "S", "SW", "W", "NW"])
ax.set_rticks(np.arange(5, bottom.max() + 1, 5))
ax.set_rlabel_position(112.5)
ax.yaxis.set_major_formatter(lambda v, _: f"{v:g}%")
ax.set_title("Hub-height wind rose, met mast M2 (2022)", pad=14)
fig.legend(title="Wind speed (m/s)", loc="outside right center", frameon=False)

fig.savefig("wind_rose_m2_2022.png", dpi=160)
