import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(7)

n_per_sensor = 900
sensors = ["TS-101", "TS-102", "TS-117", "TS-203"]
colors = ["#1b9e77", "#d95f02", "#7570b3", "#e7298a"]

fig, ax = plt.subplots(figsize=(7, 5))

for idx, (name, color) in enumerate(zip(sensors, colors)):
    ref_temp = rng.uniform(-10, 60, n_per_sensor)
    gain_err = 1.0 + rng.normal(0, 0.004) + 0.002 * idx
    offset = rng.normal(0.0, 0.3)
    reading = gain_err * ref_temp + offset + rng.normal(0, 0.6, n_per_sensor)
    error = reading - ref_temp
    ax.scatter(ref_temp, error, s=6, alpha=0.5, color=color, label=name)

ax.axhline(0, color="k", lw=0.8)
ax.axhspan(-1, 1, color="0.85", zorder=0, label="±1 °C tolerance")

ax.set_xlabel("Reference temperature (°C)")
ax.set_ylabel("Sensor error (°C)")
ax.set_title("Calibration check, bath run 2024-03-14")
ax.set_xlim(-12, 62)
ax.legend(loc="center", markerscale=3, title="Sensor")

fig.tight_layout()
fig.savefig("sensor_drift.png", dpi=200)
