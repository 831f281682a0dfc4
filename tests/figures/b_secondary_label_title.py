"""Defect (text_text): the secondary x-axis label in wavenumber sits on top of the axes title."""
import matplotlib.pyplot as plt
import numpy as np

wl = np.linspace(2.5, 15, 600)                    # µm
absorb = (0.9 * np.exp(-((wl - 3.4) / 0.08) ** 2) + 0.7 * np.exp(-((wl - 5.8) / 0.1) ** 2)
          + 0.4 * np.exp(-((wl - 8.1) / 0.3) ** 2) + 0.05)

fig, ax = plt.subplots(figsize=(8, 4.5), dpi=100)
ax.plot(wl, absorb, color="darkgreen")
ax.set_xlim(2.5, 15)
ax.set_xlabel("Wavelength (µm)")
ax.set_ylabel("Absorbance")
sec = ax.secondary_xaxis("top", functions=(lambda w: 1e4 / np.clip(w, 1e-3, None),
                                          lambda k: 1e4 / np.clip(k, 1e-3, None)))
sec.set_xticks([4000, 3000, 2000, 1500, 1000, 700])
sec.set_xlabel("Wavenumber (cm⁻¹)")
ax.set_title("FTIR spectrum of polymer film F-12", y=1.07)
fig.subplots_adjust(top=0.8)
plt.show()
