"""Clean: a plant schematic label whose leading blank lines push the word below its neighbour."""
import matplotlib.pyplot as plt

fig = plt.figure(figsize=(3, 2))
fig.text(0.5, 0.5, "\n\nPump", ha="center", va="center", fontsize=12)
fig.text(0.5, 0.58, "10.2 MW", ha="center", va="center", fontsize=12)
fig.text(0.5, 0.9, "Station 4 feed loop", ha="center", va="top", fontsize=10)
plt.show()
