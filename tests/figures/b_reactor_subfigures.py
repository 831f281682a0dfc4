"""Clean: two subfigures comparing reactor runs, each with its own suptitle and legend."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(14)
t = np.linspace(0, 120, 121)                      # minutes

fig = plt.figure(figsize=(10, 4.5), layout="constrained")
subfigs = fig.subfigures(1, 2, wspace=0.05)
for sf, run, k in zip(subfigs, ["Run A (60 °C)", "Run B (75 °C)"], [0.02, 0.045]):
    ax1, ax2 = sf.subplots(1, 2)
    conv = 1 - np.exp(-k * t)
    ax1.plot(t, conv + rng.normal(0, 0.01, t.size), label="Conversion")
    ax1.plot(t, 0.8 * conv**2, label="Selectivity")
    ax1.set_xlabel("Time (min)")
    ax1.set_ylabel("Fraction")
    ax1.set_title("Kinetics")
    ax2.plot(t, 60 + 15 * (k > 0.03) + 2 * np.sin(t / 8), color="tab:red", label="Jacket T")
    ax2.set_xlabel("Time (min)")
    ax2.set_ylabel("Temperature (°C)")
    ax2.set_ylim(50, 85)
    ax2.set_title("Thermal")
    sf.suptitle(run)
    sf.legend(loc="outside lower center", ncols=3)
plt.show()
