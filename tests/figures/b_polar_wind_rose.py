"""Defect (element_element): wind rose of hourly wind directions as a polar bar chart; the outer frame circle runs through its last radius label "20%"."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(3)
# prevailing south-westerlies with a weaker easterly mode
deg = np.concatenate([rng.normal(225, 30, 6000), rng.normal(90, 25, 2000)]) % 360
counts, edges = np.histogram(deg, bins=16, range=(0, 360))
theta = np.deg2rad(edges[:-1] + 11.25)

fig, ax = plt.subplots(figsize=(5.5, 5.5), subplot_kw={"projection": "polar"}, layout="constrained")
ax.bar(theta, 100 * counts / counts.sum(), width=np.deg2rad(20), color="teal", edgecolor="k", alpha=0.8)
ax.set_theta_zero_location("N")
ax.set_theta_direction(-1)
ax.set_rlabel_position(135)
ax.set_rticks([5, 10, 15, 20])
ax.yaxis.set_major_formatter("{x:.0f}%")
ax.set_title("Wind direction frequency, Station 0417 (2021)", pad=14)
plt.show()
