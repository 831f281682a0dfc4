"""Clean: thermocouple calibration curve with a small coefficient table in the empty upper-left of the axes."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(6)
t_ref = np.linspace(0, 400, 17)
emf = 0.041 * t_ref + 2.2e-6 * t_ref**2 + rng.normal(0, 0.05, t_ref.size)
c2, c1, c0 = np.polyfit(t_ref, emf, 2)

fig, ax = plt.subplots(figsize=(7, 5), layout="constrained")
ax.plot(t_ref, emf, "o", color="tab:blue", label="Measured")
tt = np.linspace(0, 400, 200)
ax.plot(tt, c0 + c1 * tt + c2 * tt**2, "k-", lw=1, label="Quadratic fit")
ax.table(cellText=[[f"{c0:.3f}"], [f"{c1:.4f}"], [f"{c2:.2e}"]],
         rowLabels=["c₀ (mV)", "c₁ (mV/°C)", "c₂ (mV/°C²)"], colLabels=["Coefficient"],
         colWidths=[0.2], bbox=[0.22, 0.62, 0.2, 0.3])
ax.set_xlabel("Reference temperature (°C)")
ax.set_ylabel("Thermocouple EMF (mV)")
ax.set_title("Type K thermocouple calibration")
ax.legend(loc="lower right")
plt.show()
