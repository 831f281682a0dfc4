import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(64)

depth = np.arange(0, 1001, 2.0)
stations = {"St. 4 (shelf break)": 0.0, "St. 9 (slope)": 0.6, "St. 15 (basin)": 1.0}

fig, axes = plt.subplots(1, 3, figsize=(10, 5), sharey=True)
ax_t, ax_s, ax_o = axes

for (station, offshore), color in zip(stations.items(), ["#1b9e77", "#d95f02", "#7570b3"]):
    mld = 35 + 25 * offshore
    thermocline = 1 / (1 + np.exp((depth - mld - 60) / 35))
    temp = 4.2 + (13.5 + 2 * offshore) * thermocline + rng.normal(0, 0.05, depth.size)
    sal = 34.9 - (0.6 + 0.3 * offshore) * thermocline + rng.normal(0, 0.01, depth.size)
    omz = 4.5 * np.exp(-0.5 * ((depth - 450) / 150) ** 2) * (0.5 + offshore)
    oxy = 6.8 * thermocline + 3.5 * (1 - thermocline) - omz * 0.5
    oxy += rng.normal(0, 0.05, depth.size)

    ax_t.plot(temp, depth, color=color, lw=1.2, label=station)
    ax_s.plot(sal, depth, color=color, lw=1.2)
    ax_o.plot(oxy, depth, color=color, lw=1.2)

ax_t.invert_yaxis()
ax_t.set_ylabel("Depth (m)")
ax_t.set_xlabel("Temperature (°C)")
ax_t.set_title("Potential temperature")
ax_t.legend(loc="lower right", fontsize=8)

ax_s.set_xlabel("Salinity (PSU)")
ax_s.set_title("Practical salinity")

ax_o.set_xlabel("O$_2$ (mL L$^{-1}$)")
ax_o.set_title("Dissolved oxygen")

for ax in axes:
    ax.xaxis.set_label_position("top")
    ax.xaxis.tick_top()
    ax.grid(alpha=0.3)

fig.subplots_adjust(wspace=0.08)
fig.suptitle("CTD casts, cruise AR-2306, 14–16 June 2023", y=0.92, fontsize=13)
fig.savefig("ctd_profiles_ar2306.png", dpi=150, bbox_inches="tight")
