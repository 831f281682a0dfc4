import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(77)

# Thermocouple calibration: fit voltage -> temperature with a cubic
voltage_mv = np.sort(rng.uniform(0, 40, 150))
true_temp = 24.6 * voltage_mv + 0.05 * voltage_mv ** 2 - 0.0009 * voltage_mv ** 3
temp_meas = true_temp + rng.normal(0, 1.1, voltage_mv.size)

coeffs = np.polyfit(voltage_mv, temp_meas, 3)
fitted = np.polyval(coeffs, voltage_mv)
residuals = temp_meas - fitted
rmse = np.sqrt(np.mean(residuals ** 2))

fig = plt.figure(figsize=(9, 6), layout="constrained")
grid = fig.add_gridspec(2, 2, height_ratios=[2, 1], width_ratios=[3, 1])
ax_fit = fig.add_subplot(grid[0, :])
ax_res = fig.add_subplot(grid[1, 0], sharex=ax_fit)
ax_hist = fig.add_subplot(grid[1, 1], sharey=ax_res)

ax_fit.plot(voltage_mv, temp_meas, ".", ms=4, color="0.35", label="reference bath")
ax_fit.plot(voltage_mv, fitted, color="tab:purple", lw=1.8, label="cubic fit")
ax_fit.set_ylabel("Temperature (°C)")
ax_fit.set_title(f"Type K thermocouple calibration (RMSE = {rmse:.2f} °C)")
ax_fit.legend(loc="upper left")

ax_res.axhline(0, color="k", lw=0.8)
ax_res.plot(voltage_mv, residuals, ".", ms=4, color="tab:purple")
ax_res.set_xlabel("Thermocouple EMF (mV)")
ax_res.set_ylabel("Residual (°C)")

ax_hist.hist(residuals, bins=20, orientation="horizontal", color="tab:purple", alpha=0.7)
ax_hist.set_xlabel("Count")
ax_hist.tick_params(labelleft=False)

fig.savefig("tc_calibration.png", dpi=200)
