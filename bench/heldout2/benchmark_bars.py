import numpy as np
import matplotlib.pyplot as plt

rng = np.random.default_rng(31)

datasets = ["CIFAR-10", "ImageNet-1k", "SST-2", "MNLI", "SQuAD v2"]
methods = [
    "Full fine-tuning (baseline)",
    "LoRA rank 8 + gradient checkpointing",
    "Adapter layers (Houlsby configuration)",
    "Prefix tuning, 20 virtual tokens",
    "Ours: sparse low-rank + mixed precision",
]

base_acc = np.array([96.1, 81.4, 94.3, 86.2, 83.5])
accuracy = base_acc[None, :] - rng.uniform(0, 3.5, (len(methods), len(datasets)))
accuracy[-1] = base_acc - rng.uniform(-0.3, 0.6, len(datasets))
throughput = rng.uniform(400, 900, (len(methods), len(datasets)))
throughput[0] *= 0.45


def plot_grouped(values, ylabel, title, filename, ylim=None):
    fig, ax = plt.subplots(figsize=(7, 4))
    n = len(methods)
    width = 0.8 / n
    x = np.arange(len(datasets))
    for i, method in enumerate(methods):
        ax.bar(x + (i - (n - 1) / 2) * width, values[i], width,
               label=method, color=plt.cm.tab10(i))
    ax.set_xticks(x, datasets)
    ax.set_ylabel(ylabel)
    ax.set_title(title)
    if ylim is not None:
        ax.set_ylim(*ylim)
    ax.legend(loc="upper left", bbox_to_anchor=(1.01, 1.0), fontsize=9)
    ax.grid(axis="y", alpha=0.3)
    fig.subplots_adjust(left=0.1, right=0.95, bottom=0.12)
    fig.savefig(filename, dpi=150)
    plt.close(fig)


plot_grouped(accuracy, "Accuracy / F1 (%)", "Task performance", "bench_accuracy.png",
             ylim=(70, 100))
plot_grouped(throughput, "Training throughput (samples/s)", "Training speed, A100 80 GB",
             "bench_throughput.png")
