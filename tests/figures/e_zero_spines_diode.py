"""Defect (over_data, element_element): with the spines moved to zero, the flat reverse-bias part of the diode curve, drawn along the bottom spine, runs straight through the y tick label "0.0" at the origin."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(62)
v = np.linspace(-3, 1, 400)
i_ma = np.minimum(1e-8 * (np.exp(v / 0.035) - 1), 2.4)
i_ma *= 1 + 0.01 * rng.standard_normal(v.size)

fig, ax = plt.subplots(figsize=(6.5, 4.5))
ax.plot(v, i_ma, lw=2, zorder=3)  # trace drawn over the axis lines
ax.spines[["left", "bottom"]].set_position("zero")
ax.spines[["top", "right"]].set_visible(False)
ax.set_xlim(-3, 1)
ax.set_ylim(-0.5, 2.5)
ax.set_xticks([-3, -2, -1, 1])  # keep a single zero label at the origin
ax.set_xlabel("Bias voltage (V)", loc="right")
ax.set_ylabel("Forward current (mA)", loc="top")
ax.set_title("1N4148 I–V sweep at 25 °C")
plt.show()
