"""Defect (over_data): the boxed run summary sits in the middle of the dense vibration traces and hides a clear stretch of them."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(70)
t = np.linspace(0, 2, 2000)

fig, ax = plt.subplots(figsize=(7, 4.2))
for k in range(8):
    a = 0.6 * np.sin(2 * np.pi * (25 + 3 * k) * t) * np.exp(-0.4 * t) + 0.15 * rng.standard_normal(t.size)
    ax.plot(t, a + 0.1 * k, lw=0.6)
ax.text(1.0, 0.3, "Run 212\nspindle 9000 rpm\nfeed 0.12 mm/rev", ha="center", va="center",
        fontsize=10, bbox=dict(boxstyle="round", fc="w", ec="0.5"))
ax.set_xlim(0, 2)
ax.set_xlabel("Time (s)")
ax.set_ylabel("Acceleration (g)")
ax.set_title("Tool-holder accelerometers, eight channels")
plt.show()
