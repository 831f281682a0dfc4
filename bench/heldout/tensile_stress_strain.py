import numpy as np
import matplotlib.pyplot as plt

plt.rcParams.update({"font.size": 15, "axes.linewidth": 1.2})

rng = np.random.default_rng(42)

E_modulus = 200e3      # MPa, structural steel
yield_stress = 355.0
uts = 510.0

def stress_strain(n=400, noise=2.0):
    strain = np.linspace(0, 0.22, n)
    eps_y = yield_stress / E_modulus
    elastic = E_modulus * strain
    hardening = yield_stress + (uts - yield_stress) * (1 - np.exp(-(strain - eps_y) / 0.04))
    necking = np.where(strain > 0.17, -2500 * (strain - 0.17) ** 2 * 40, 0)
    stress = np.where(strain < eps_y, elastic, hardening + necking)
    return strain, stress + rng.normal(0, noise, n)

f, ax = plt.subplots(figsize=(7, 5))
for specimen in ["S355-A1", "S355-A2", "S355-A3"]:
    strain, stress = stress_strain()
    ax.plot(strain * 100, stress, lw=1.5, label=specimen)

ax.axhline(yield_stress, color="0.4", ls=":", lw=1)
ax.text(15, yield_stress - 25, "nominal $R_{eH}$", color="0.3", fontsize=12)

ax.set_xlabel("Engineering strain (%)")
ax.set_ylabel("Engineering stress (MPa)", fontsize=18)
ax.set_xlim(0, 23)
ax.set_ylim(0, 560)
ax.legend(loc="lower right")
ax.grid(alpha=0.25)

f.subplots_adjust(left=0.05, right=0.98, bottom=0.14, top=0.95)
f.savefig("tensile_s355.png", dpi=150)
