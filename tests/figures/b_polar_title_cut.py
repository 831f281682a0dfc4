"""Defect (clipping): the title of the polar radiation-pattern plot is cut off at the top edge of the figure."""
import matplotlib.pyplot as plt
import numpy as np

theta = np.linspace(0, 2 * np.pi, 721)
# 4-element dipole array, half-wave spacing
af = np.abs(np.sin(2 * np.pi * np.cos(theta)) / (4 * np.sin(np.pi / 2 * np.cos(theta)) + 1e-9))
gain_db = np.clip(20 * np.log10(af + 1e-6), -30, 0)

fig = plt.figure(figsize=(5, 5), dpi=100)
ax = fig.add_axes([0.1, 0.04, 0.8, 0.9], projection="polar")
ax.plot(theta, gain_db, color="crimson", lw=1.5)
ax.set_rlim(-30, 0)
ax.set_rticks([-30, -20, -10, 0])
ax.set_title("Broadside array pattern (dB)", fontsize=15, pad=14)
plt.show()
