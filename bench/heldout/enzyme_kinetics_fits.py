import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(5)

def michaelis_menten(s, vmax, km):
    return vmax * s / (km + s)

substrate = np.array([0.5, 1, 2, 4, 8, 16, 32, 64], dtype=float)  # mM
conditions = {
    "wild type": (12.0, 3.5),
    "K142A": (11.6, 4.1),
    "+ 5 µM inhibitor": (11.8, 9.0),
}

fig, ax = plt.subplots(figsize=(6.5, 4.5))
s_fine = np.linspace(0, 66, 300)

for name, (vmax, km) in conditions.items():
    rate = michaelis_menten(substrate, vmax, km) * (1 + rng.normal(0, 0.04, substrate.size))
    # Hanes-Woolf: S/v = S/Vmax + Km/Vmax, less distorted than Lineweaver-Burk
    slope, intercept = np.polyfit(substrate, substrate / rate, 1)
    vmax_fit, km_fit = 1 / slope, intercept / slope
    line, = ax.plot(s_fine, michaelis_menten(s_fine, vmax_fit, km_fit), lw=1.5)
    ax.plot(substrate, rate, "o", color=line.get_color(), ms=5)
    ax.text(30, michaelis_menten(30, vmax_fit, km_fit),
            f"{name}: $V_{{max}}$={vmax_fit:.1f}, $K_m$={km_fit:.1f} mM",
            fontsize=9, color=line.get_color())

ax.set_xlabel("[S] (mM)")
ax.set_ylabel("Initial rate (µmol min$^{-1}$ mg$^{-1}$)")
ax.set_title("Michaelis-Menten fits, 25 °C, pH 7.4")
ax.set_xlim(0, 66)
ax.set_ylim(0, 13.5)

fig.tight_layout()
fig.savefig("mm_fits.png", dpi=300)
