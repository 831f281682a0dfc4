"""Defect (text_text): the long title of the left mosaic panel runs into the title of the panel to its right.
"""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(47)
days = np.arange(1, 31)
fig, axd = plt.subplot_mosaic("AB;CC", figsize=(8, 6), layout="constrained")
occupancy = np.clip(72 + 15 * np.sin(days / 4.5) + rng.normal(0, 4, days.size), 40, 100)
axd["A"].plot(days, occupancy, color="tab:green")
axd["A"].set(xlabel="Day of September", ylabel="Bed occupancy (%)", ylim=(40, 100))
axd["A"].set_title("Bed occupancy on general medical and surgical wards", loc="left")
waits = rng.gamma(2.2, 55, 400)
axd["B"].hist(waits, bins=25, color="tab:purple")
axd["B"].set(xlabel="Wait to admission (min)", ylabel="Patients")
axd["B"].set_title("ED waits", loc="left")
adm = rng.poisson(38 + 6 * (days % 7 < 5), days.size)
axd["C"].bar(days, adm, color="0.55")
axd["C"].set(xlabel="Day of September", ylabel="Emergency admissions", title="Daily admissions")
fig.suptitle("St Aldhelm's Hospital, operational dashboard")
plt.show()
