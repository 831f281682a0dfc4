import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(11)

two_theta = np.linspace(20, 90, 3500)

# Si reference reflections (Cu K-alpha) plus a minor oxide phase
reflections = [
    (26.64, 8, "SiO$_2$ (101)"),
    (28.44, 100, "Si (111)"),
    (47.30, 62, "Si (220)"),
    (56.12, 35, "Si (311)"),
    (69.13, 9, "Si (400)"),
    (76.38, 13, "Si (331)"),
    (88.03, 17, "Si (422)"),
]


def pseudo_voigt(x, center, height, fwhm=0.18, eta=0.4):
    sigma = fwhm / 2.3548
    gauss = np.exp(-0.5 * ((x - center) / sigma) ** 2)
    lorentz = 1 / (1 + ((x - center) / (fwhm / 2)) ** 2)
    return height * (eta * lorentz + (1 - eta) * gauss)


background = 4 + 6 * np.exp(-(two_theta - 20) / 15)
intensity = background.copy()
for center, height, _ in reflections:
    intensity += pseudo_voigt(two_theta, center, height)
intensity += rng.normal(0, 0.6, two_theta.size)

fig, ax = plt.subplots(figsize=(8, 4))
ax.plot(two_theta, intensity, color="black", lw=0.8)
for center, height, label in reflections:
    top = height + np.interp(center, two_theta, background)
    ax.text(center, top + 2, label, rotation=90, ha="center", va="bottom",
            fontsize=10)

ax.set_xlim(20, 90)
ax.set_ylim(0, 105)
ax.set_xlabel(r"2$\theta$ (deg)")
ax.set_ylabel("Intensity (a.u.)")
ax.set_title("Powder XRD, sample W-17 annealed 900 °C")

fig.savefig("xrd_w17_annealed.png", dpi=300)
