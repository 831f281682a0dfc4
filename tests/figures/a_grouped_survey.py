"""Clean: grouped bars of survey satisfaction per department and year, labelled on the edges.
"""
import matplotlib.pyplot as plt
import numpy as np

depts = ["Sales", "R&D", "Support", "Finance"]
y2022 = np.array([62, 71, 55, 68])
y2023 = np.array([66, 74, 61, 65])
x = np.arange(len(depts))
w = 0.38

fig = plt.figure(figsize=(7, 4.5), layout="constrained")
ax = fig.add_subplot()
b1 = ax.bar(x - w / 2, y2022, w, label="2022", color="#7a9cc6")
b2 = ax.bar(x + w / 2, y2023, w, label="2023", color="#e08e45")
ax.bar_label(b1, padding=2, fontsize=9)
ax.bar_label(b2, padding=2, fontsize=9)
ax.set_xticks(x, depts)
ax.set_ylabel("Satisfied respondents (%)")
ax.set_title("Staff survey: 'I would recommend this workplace'")
ax.set_ylim(0, 100)
ax.legend(loc="upper left", ncols=2)
plt.show()
