"""Defect (text_text): the results table placed with loc="bottom" covers the x tick labels and x label."""
import matplotlib.pyplot as plt
import numpy as np

samples = ["S1", "S2", "S3", "S4", "S5"]
ph = [6.8, 7.1, 7.4, 6.9, 7.0]
cond = [410, 385, 502, 448, 397]
turb = [1.2, 0.8, 2.5, 1.1, 0.9]

fig, ax = plt.subplots(figsize=(7, 5), dpi=100)
ax.bar(np.arange(5), cond, color="tab:cyan")
ax.set_xticks(np.arange(5), labels=samples)
ax.set_xlabel("Sampling point")
ax.set_ylabel("Conductivity (µS/cm)")
ax.set_title("River survey, 3 May")
ax.table(cellText=[[f"{v:.1f}" for v in ph], [f"{v:.1f}" for v in turb]],
         rowLabels=["pH", "Turbidity (NTU)"], loc="bottom")
fig.subplots_adjust(left=0.2)
plt.show()
