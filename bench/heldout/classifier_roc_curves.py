import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(21)


def roc_curve(scores, labels):
    order = np.argsort(-scores)
    labels = labels[order]
    tpr = np.r_[0, np.cumsum(labels) / labels.sum()]
    fpr = np.r_[0, np.cumsum(1 - labels) / (1 - labels).sum()]
    return fpr, tpr


n_test = 2000
y_true = rng.random(n_test) < 0.3
models = {"logistic regression": 1.2, "random forest": 1.8, "gradient boosting": 2.1}

fig, (ax_roc, ax_hist) = plt.subplots(1, 2, figsize=(10, 4.5), layout="constrained")

for name, separation in models.items():
    scores = rng.normal(0, 1, n_test) + separation * y_true
    fpr, tpr = roc_curve(scores, y_true.astype(float))
    auc = np.trapezoid(tpr, fpr)
    ax_roc.plot(fpr, tpr, lw=1.5, label=f"{name} (AUC = {auc:.3f})")
    if name == "gradient boosting":
        best_scores = scores

ax_roc.plot([0, 1], [0, 1], color="0.6", ls="--", lw=1)
ax_roc.set_xlabel("False positive rate")
ax_roc.set_ylabel("True positive rate")
ax_roc.set_title("ROC on held-out test set")
ax_roc.set_aspect("equal")
ax_roc.legend(loc="lower right", fontsize=9)

bins = np.linspace(best_scores.min(), best_scores.max(), 40)
ax_hist.hist(best_scores[~y_true], bins=bins, alpha=0.6, label="negative")
ax_hist.hist(best_scores[y_true], bins=bins, alpha=0.6, label="positive")
ax_hist.set_xlabel("Gradient boosting score")
ax_hist.set_ylabel("Count")
ax_hist.set_title("Score distribution by class")
ax_hist.legend()

fig.savefig("roc_comparison.pdf", bbox_inches="tight")
