"""Clean: categorical tick labels sit just above a three-line title; boxes overlap, glyphs do not."""
import matplotlib.pyplot as plt

fig, (top, bottom) = plt.subplots(2, 1, figsize=(4, 4))
fig.subplots_adjust(hspace=0.75)
top.bar(["A", "B", "C"], [3, 5, 2], color="tab:green")
top.set_ylabel("Count")
bottom.plot([0, 1, 2], [1.0, 0.4, 0.7])
bottom.set_title("Relative response of the three\nsamples measured on day 2\nafter the second dose", fontsize=9)
plt.show()
