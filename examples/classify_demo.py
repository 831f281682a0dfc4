"""A figure described by hand: a title that runs off the figure, a legend
that covers the title and a line, and a colour bar over the title."""

from tessary import classify

FIGURE = (0, 0, 640, 480)

boxes = [
    ((200, 440, 660, 470), FIGURE, "title", "fig.title"),
    ((50, 50, 500, 400), (50, 50, 500, 400), "data-artist", "ax0.line[0]'price'"),
    ((380, 380, 520, 460), FIGURE, "legend", "ax0.legend"),
    ((600, 50, 630, 450), FIGURE, "colorbar", "fig.colorbar"),
]

collisions, candidates = classify(boxes)
for c in collisions:
    print(f"{c.kind:<16} {c.a_id} vs {c.b_id}: severity {c.severity:.3f}")
for d in candidates:
    print(f"{'over-data?':<16} {d.decoration_id} over {d.data_id}: overlap {d.overlap:.3f}")
