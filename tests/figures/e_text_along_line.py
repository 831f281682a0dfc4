"""Clean: a pump's system curve and operating limit, the limit line labelled by text rotated to run just above it."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(61)
q = np.linspace(0, 120, 50)
head = 48 - 0.0025 * q ** 2 + rng.normal(0, 0.4, q.size)
limit_q = np.array([0, 120])
limit_h = 12 + 0.25 * limit_q

fig, ax = plt.subplots(figsize=(6.5, 4.5))
ax.plot(q, head, "o-", ms=3, label="Measured pump curve")
ax.plot(limit_q, limit_h, color="C3", lw=1.5)
# rotate the label to the line's on-screen angle so it follows the line
fig.canvas.draw()
p0, p1 = ax.transData.transform([(0, 12), (120, 42)])
angle = np.degrees(np.arctan2(p1[1] - p0[1], p1[0] - p0[0]))
ax.text(20, 18.0, "NPSH cavitation limit", rotation=angle, rotation_mode="anchor", color="C3")
ax.set_xlim(0, 120)
ax.set_ylim(0, 55)
ax.set_xlabel("Flow rate (m³/h)")
ax.set_ylabel("Head (m)")
ax.legend(loc="lower left")
plt.show()
