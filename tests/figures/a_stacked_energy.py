"""Defect (over_data): the legend sits on top of the tall stacked bar for August.

Monthly electricity use of a cold-storage warehouse, split by consumer.
"""
import matplotlib.pyplot as plt
import numpy as np

months = ["May", "Jun", "Jul", "Aug", "Sep", "Oct"]
cooling = np.array([210, 260, 330, 360, 280, 220])
lighting = np.array([40, 38, 37, 39, 42, 45])
other = np.array([55, 52, 50, 58, 54, 57])

fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.bar(months, cooling, width=0.8, label="refrigeration")
ax.bar(months, lighting, width=0.8, bottom=cooling, label="lighting")
ax.bar(months, other, width=0.8, bottom=cooling + lighting, label="forklifts & office")
ax.set_ylabel("Energy (MWh)")
ax.set_title("Warehouse electricity by consumer")
ax.legend(loc="upper center", bbox_to_anchor=(0.58, 0.97), fontsize=11)
plt.show()
