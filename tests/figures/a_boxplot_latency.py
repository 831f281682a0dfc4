"""Defect (text_text): the long horizontal x tick labels of the boxplot overlap their neighbours.

Per-region request latency of a CDN.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(17)
regions = ["Frankfurt edge node", "Singapore edge node", "São Paulo edge node",
           "Virginia edge node", "Sydney edge node"]
data = [rng.lognormal(np.log(m), 0.3, 200) for m in (35, 80, 110, 45, 95)]

fig, ax = plt.subplots(figsize=(6, 4))
ax.boxplot(data, tick_labels=regions)
ax.set_ylabel("Latency (ms)")
ax.set_title("CDN latency per region, week 32")
fig.tight_layout()
plt.show()
