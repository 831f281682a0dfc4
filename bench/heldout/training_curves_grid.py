import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(99)

learning_rates = [1e-4, 3e-4, 1e-3]
batch_sizes = [32, 128, 512]
epochs = np.arange(1, 61)

fig, axes = plt.subplots(len(batch_sizes), len(learning_rates), figsize=(7, 6))

for i, bs in enumerate(batch_sizes):
    for j, lr in enumerate(learning_rates):
        speed = lr * 1e3 * (128 / bs) ** 0.5
        floor = 0.18 + 0.04 * np.log2(bs / 32) + (0.1 if lr >= 1e-3 and bs == 32 else 0)
        train_loss = floor + 2.2 * np.exp(-speed * epochs / 8) + rng.normal(0, 0.02, epochs.size)
        val_loss = train_loss + 0.05 + 0.002 * np.clip(epochs - 30, 0, None) * (bs == 32)
        val_loss += rng.normal(0, 0.03, epochs.size)

        ax = axes[i, j]
        ax.plot(epochs, train_loss, lw=1, label="train")
        ax.plot(epochs, val_loss, lw=1, label="validation")
        ax.set_ylim(0, 2.6)
        ax.set_title(f"lr={lr:g}, bs={bs}", fontsize=10)
        ax.set_xlabel("Epoch")
        ax.set_ylabel("Cross-entropy loss")
        best = np.argmin(val_loss)
        ax.plot(epochs[best], val_loss[best], "k*", ms=6)

axes[0, 0].legend(fontsize=8)
fig.suptitle("Hyperparameter sweep — ResNet-18 on CIFAR-10 subset")
fig.savefig("sweep_loss_grid.png", dpi=110)
