"""Clean: 10 m wind field around a low-pressure centre shown with quiver and a reference arrow key."""
import matplotlib.pyplot as plt
import numpy as np

x, y = np.meshgrid(np.linspace(-400, 400, 17), np.linspace(-300, 300, 13))
r2 = x**2 + y**2 + 1e4
# cyclonic circulation with slight inflow towards the centre
u = (-y * 1500 / r2) * (1 - np.exp(-r2 / 4e4)) * 10 - 0.2 * x / np.sqrt(r2) * 3
v = (x * 1500 / r2) * (1 - np.exp(-r2 / 4e4)) * 10 - 0.2 * y / np.sqrt(r2) * 3
speed = np.hypot(u, v)

fig, ax = plt.subplots(figsize=(7, 5.5), dpi=72, layout="constrained")
q = ax.quiver(x, y, u, v, speed, cmap="plasma", scale=700)
ax.quiverkey(q, 0.88, 1.03, 20, "20 m/s", labelpos="W", coordinates="axes")
ax.set_aspect("equal")
ax.set_xlabel("x from storm centre (km)")
ax.set_ylabel("y from storm centre (km)")
ax.set_title("10 m wind, 06 UTC analysis", loc="left")
fig.colorbar(q, ax=ax, label="Wind speed (m/s)", shrink=0.8)
plt.show()
