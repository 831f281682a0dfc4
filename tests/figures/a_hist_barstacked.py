"""Defect (text_text): the suptitle is lowered with y=0.93 onto the axes title.

Response times of a web service split by which cache tier answered.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(42)
l1 = rng.gamma(2.0, 4.0, 1500)
l2 = rng.gamma(3.0, 9.0, 700)
db = rng.gamma(4.0, 25.0, 300)

fig, ax = plt.subplots(figsize=(6, 4.5))
ax.hist([l1, l2, db], bins=40, range=(0, 250), histtype="barstacked",
        label=["L1 cache", "L2 cache", "database"])
ax.set_xlabel("Response time (ms)")
ax.set_ylabel("Requests")
ax.set_title("GET /api/orders, load test run 4")
ax.legend(loc="upper right")
fig.suptitle("Latency by serving tier", y=0.93, fontsize=14)
plt.show()
