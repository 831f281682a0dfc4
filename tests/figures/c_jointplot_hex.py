"""Clean: jointplot of battery cell internal resistance against capacity fade after cycling.
"""
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd
import seaborn as sns

rng = np.random.default_rng(90)
n = 600
cycles_k = rng.uniform(0.8, 2.0, n)
fade = 4.0 * cycles_k + rng.normal(0, 1.0, n)
resistance = 18 + 1.9 * fade + rng.normal(0, 2.0, n)
df = pd.DataFrame({"fade_pct": fade, "r_int_mohm": resistance})

sns.set_theme(style="white")
g = sns.jointplot(data=df, x="fade_pct", y="r_int_mohm", kind="hex", height=5.5,
                  color="#4c72b0", marginal_kws={"bins": 30})
g.set_axis_labels("Capacity fade after cycling (%)", "Internal resistance (mΩ)")
g.figure.suptitle("NMC pouch cells, 25 °C, 1C/1C cycling", y=0.99)
g.figure.subplots_adjust(top=0.93)
plt.show()
