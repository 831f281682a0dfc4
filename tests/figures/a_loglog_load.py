"""Defect (element_element): the lower axes' title runs into the upper axes because hspace is too small.

Load test of a key-value store: throughput and tail latency vs concurrent clients.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(9)
clients = np.logspace(0, 4, 25)
thr = 5e4 * clients / (1 + clients / 300) * rng.uniform(0.95, 1.05, clients.size)
p99 = 0.8 * (1 + (clients / 400) ** 1.6) * rng.uniform(0.9, 1.1, clients.size)

fig, (ax1, ax2) = plt.subplots(2, 1, figsize=(6, 6), sharex=True)
ax1.loglog(clients, thr, "o-", ms=3)
ax1.set_title("Throughput")
ax1.set_ylabel("Requests / s")
ax2.loglog(clients, p99, "o-", ms=3, color="tab:red")
ax2.set_title("99th percentile latency")
ax2.set_xlabel("Concurrent clients")
ax2.set_ylabel("Latency (ms)")
fig.subplots_adjust(hspace=0.02)
plt.show()
