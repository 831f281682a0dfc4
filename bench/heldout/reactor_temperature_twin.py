import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(60)

t_hours = np.linspace(0, 36, 720)
setpoint = np.where(t_hours < 6, 25 + 6 * t_hours, 61.0)
setpoint = np.where(t_hours > 30, 61 - 6 * (t_hours - 30), setpoint)
jacket_temp = np.convolve(setpoint, np.ones(15) / 15, mode="same") + rng.normal(0, 0.4, t_hours.size)
conversion = 100 * (1 - np.exp(-np.clip(t_hours - 4, 0, None) / 7.5))
conversion += rng.normal(0, 0.6, t_hours.size)

plt.figure(figsize=(8, 4.2))
plt.plot(t_hours, setpoint, "k--", lw=1, label="set point")
plt.plot(t_hours, jacket_temp, color="tab:red", lw=1.2, label="jacket temperature")
plt.xlabel("Time since charge (h)")
plt.ylabel("Temperature (°C)", color="tab:red")
plt.xlim(0, 36)
plt.legend(loc="upper left")

plt.twinx()
plt.plot(t_hours, conversion, color="tab:blue", lw=1.2)
plt.ylabel("Monomer conversion (%)", color="tab:blue", fontsize=13)
plt.ylim(0, 105)

plt.title("Batch B-2291 polymerisation")
plt.subplots_adjust(left=0.1, right=0.97, bottom=0.13)
plt.savefig("batch_B2291.png", dpi=100)
