"""Defect (text_text): long station names rotated 12 degrees still run into each other where a descender meets the next name."""
import matplotlib.pyplot as plt
import numpy as np

stations = ["Upper Kessler weir", "Kessler bridge north", "Old mill tailrace", "Hartfield gauging hut",
            "Lower Hartfield ford", "Marsh outflow culvert"]
flow = np.array([3.1, 3.4, 4.0, 4.6, 4.9, 5.3])
fig, ax = plt.subplots(figsize=(6, 4), layout="constrained")
ax.bar(range(len(stations)), flow, color="tab:blue")
ax.set_xticks(range(len(stations)), stations, rotation=12, ha="right", fontsize=12)
ax.set_ylabel("Discharge (m³/s)")
ax.set_title("Mean discharge along the Kessler")
plt.show()
