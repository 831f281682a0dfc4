"""Clean: XRD peaks marked by dots drawn on top of the edges of their boxed labels."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(51)
two_theta = np.linspace(20, 80, 3000)
peaks = {"(110)": (28.4, 900), "(101)": (36.1, 520), "(211)": (54.3, 650), "(220)": (56.6, 300)}
counts = 60 + 0.3 * (80 - two_theta)
for pos, height in peaks.values():
    counts = counts + height * np.exp(-((two_theta - pos) / 0.18) ** 2)
counts = rng.poisson(counts)

fig, ax = plt.subplots(figsize=(7.5, 4))
ax.plot(two_theta, counts, lw=0.8, color="0.25")
for hkl, (pos, height) in peaks.items():
    top = height + 60 + 0.3 * (80 - pos)
    ax.annotate(hkl, xy=(pos, top + 90), xytext=(6, 0), textcoords="offset points",
                va="center", fontsize=9, bbox=dict(boxstyle="round,pad=0.5", fc="w", ec="0.4"))
    ax.scatter(pos, top + 90, s=50, color="C3", zorder=5)
ax.set_ylim(0, 1200)
ax.set_xlabel("2θ (degrees)")
ax.set_ylabel("Intensity (counts)")
ax.set_title("Rutile TiO$_2$ powder, Cu Kα")
plt.show()
