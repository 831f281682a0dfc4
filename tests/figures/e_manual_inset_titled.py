"""Clean: a hand-placed inset with its own title and tick labels in the empty upper-right area of a creep-strain plot."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(45)
t = np.linspace(0, 1000, 400)
loads = {"120 MPa": 0.8e-3, "150 MPa": 1.6e-3, "180 MPa": 3.1e-3}

fig, ax = plt.subplots(figsize=(7, 4.5))
for label, rate in loads.items():
    strain = 0.4 * (1 - np.exp(-t / 60)) + rate * t + 0.01 * rng.standard_normal(t.size)
    ax.plot(t, strain, label=label)
ax.set_xlim(0, 1000)
ax.set_ylim(0, 7)
ax.set_xlabel("Time (h)")
ax.set_ylabel("Creep strain (%)")
ax.set_title("Alloy 617 creep at 850 °C")
ax.legend(loc="upper left", title="Stress")

# secondary creep rate vs stress, kept in the empty space above the curves
ins = fig.add_axes((0.42, 0.56, 0.24, 0.22))
ins.loglog([120, 150, 180], list(loads.values()), "o-", color="k", ms=4)
ins.set_title("Minimum creep rate", fontsize=8)
ins.set_xticks([120, 150, 180], ["120", "150", "180"])
ins.minorticks_off()
ins.tick_params(labelsize=7)
plt.show()
