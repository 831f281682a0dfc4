"""Clean: pie chart of a research grant budget with percentages on the wedges.
"""
import matplotlib.pyplot as plt

items = ["Salaries", "Equipment", "Consumables", "Travel", "Overheads"]
amount = [310, 95, 60, 25, 110]

fig, ax = plt.subplots(figsize=(6, 5), layout="constrained")
ax.pie(amount, labels=items, autopct="%1.0f%%", startangle=90,
       colors=["#4e79a7", "#f28e2b", "#e15759", "#76b7b2", "#59a14f"],
       textprops={"fontsize": 10}, pctdistance=0.7)
ax.set_title("Grant budget, total 600 k€")
plt.show()
