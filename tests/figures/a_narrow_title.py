"""Defect (clipping): the long axes title is cut off at both sides of the narrow figure.

Weekly hospital admissions for respiratory illness, one ward.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(6)
week = np.arange(1, 27)
adm = rng.poisson(20 + 15 * np.exp(-((week - 8) / 4) ** 2))

plt.figure(figsize=(3.5, 4), dpi=100)
plt.plot(week, adm, "o-", ms=3)
plt.xlabel("ISO week")
plt.ylabel("Admissions")
plt.title("Respiratory admissions, paediatric ward, winter season 2023/24")
plt.subplots_adjust(left=0.2, right=0.95)
plt.show()
