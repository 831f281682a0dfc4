"""Employee engagement survey: share of agree/strongly agree per statement."""
import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(11)

statements = [
    "I understand how my work contributes to company goals",
    "My manager gives me useful feedback regularly",
    "I have the tools I need to do my job well",
    "I would recommend this company as a place to work",
    "Workload is manageable within normal hours",
    "Career growth opportunities are clearly communicated",
    "Cross-team collaboration works smoothly",
    "I feel comfortable raising concerns with leadership",
]

n_respondents = 412
agree_2023 = rng.uniform(0.45, 0.85, len(statements))
agree_2024 = np.clip(agree_2023 + rng.normal(0.03, 0.06, len(statements)), 0, 1)

x = np.arange(len(statements))
width = 0.38

fig, ax = plt.subplots(figsize=(9, 4.5))
ax.bar(x - width / 2, agree_2023 * 100, width, label="2023", color="#9bb7d4")
ax.bar(x + width / 2, agree_2024 * 100, width, label="2024", color="#1f4e79")

for xi, val in zip(x, agree_2024):
    ax.text(xi + width / 2, val * 100 + 1, f"{val:.0%}", ha="center", fontsize=7)

ax.set_xticks(x)
ax.set_xticklabels(statements)
ax.set_ylabel("Agree or strongly agree (%)")
ax.set_ylim(0, 100)
ax.set_title(f"Engagement survey results (n = {n_respondents})")
ax.legend(frameon=False)
ax.spines[["top", "right"]].set_visible(False)

fig.savefig("survey_satisfaction.png", dpi=150)
