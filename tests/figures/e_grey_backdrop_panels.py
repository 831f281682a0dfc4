"""Clean: four turbine monitoring panels on a light grey figure-wide backdrop axes with no ticks or frame."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(47)
hours = np.arange(0, 48, 0.25)
wind = 9 + 3 * np.sin(hours / 7) + rng.normal(0, 0.8, hours.size)
power = np.clip((wind - 3.5) ** 3 / 180, 0, 2.0) * 1000
pitch = np.clip((wind - 11) * 2.5, 0, None)
temp = 55 + 0.012 * power + rng.normal(0, 0.8, hours.size)

fig, axs = plt.subplots(2, 2, figsize=(8, 5.5), layout="constrained")
backdrop = fig.add_axes((0, 0, 1, 1), zorder=-1)
# no ticks or frame, only the grey face behind the panels
backdrop.set_xticks([])
backdrop.set_yticks([])
backdrop.spines[:].set_visible(False)
backdrop.set_facecolor("0.92")
panels = [(wind, "Wind speed (m/s)"), (power, "Power (kW)"),
          (pitch, "Blade pitch (°)"), (temp, "Gearbox oil (°C)")]
for ax, (series, label) in zip(axs.flat, panels):
    ax.plot(hours, series, lw=1)
    ax.set_ylabel(label)
    ax.set_xlim(0, 48)
for ax in axs[1]:
    ax.set_xlabel("Hours since 00:00, 3 May")
fig.suptitle("Turbine T-07 SCADA summary")
plt.show()
