"""Defect (over_data): the upper-left legend wholly hides the first two decay measurements and the start of the fitted curve."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(54)
t = np.sort(rng.uniform(0, 30, 50))
activity = 950 * np.exp(-t / 8.0) * rng.normal(1, 0.05, t.size)
coef = np.polyfit(t, np.log(activity), 1)
tt = np.linspace(0, 30, 300)

fig, ax = plt.subplots(figsize=(6.5, 4.5))
ax.plot(t, activity, "o", ms=5, label="Measured activity")
ax.plot(tt, np.exp(np.polyval(coef, tt)), "-", color="C3",
        label=f"Fit, half-life {np.log(2) / -coef[0]:.1f} h")
ax.set_xlabel("Time after elution (h)")
ax.set_ylabel("Activity (kBq)")
ax.set_title("Tc-99m calibration source")
ax.legend(loc="upper left", framealpha=1)
plt.show()
