"""Defect (over_data, element_element): in the sonar sweep drawn as a polar scatter, echoes lie under the radius labels "20" and "60", which they break up; in both polar panels the outer frame circle runs through the last radius label."""
import matplotlib.pyplot as plt
import numpy as np

rng = np.random.default_rng(19)
bearing = rng.uniform(0, 2 * np.pi, 250)
rng_m = rng.uniform(5, 120, 250)
strength = rng.gamma(2, 6, 250)
theta = np.linspace(0, 2 * np.pi, 361)
beam = np.abs(np.cos(theta)) ** 3

fig, (ax1, ax2) = plt.subplots(1, 2, figsize=(10, 5), subplot_kw={"projection": "polar"},
                               layout="constrained")
sc = ax1.scatter(bearing, rng_m, c=strength, s=12, cmap="turbo")
ax1.set_theta_zero_location("N")
ax1.set_theta_direction(-1)
ax1.set_title("Sonar returns (range in m)", pad=12)
fig.colorbar(sc, ax=ax1, label="Echo strength (dB re 1 µPa)", shrink=0.7, pad=0.1)
ax2.plot(theta, beam, color="navy")
ax2.fill(theta, beam, color="navy", alpha=0.2)
ax2.set_rticks([0.25, 0.5, 0.75, 1.0])
ax2.set_title("Transducer beam pattern (normalised)", pad=12)
plt.show()
