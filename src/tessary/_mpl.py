"""The few things matplotlib keeps private that the linter needs. Each lives in
one function here, and tests/test_record.py fails loudly when matplotlib
changes one of them."""

from __future__ import annotations

from matplotlib.axes._base import _AxesBase
from matplotlib.axes._secondary_axes import SecondaryAxis

# Every axes, secondary axes included (they derive from the private base only).
AxesBase = _AxesBase


def colorbar_of(ax):
    """The Colorbar drawn in ``ax``, or None: a colour bar sets itself on its
    axes, and nothing public leads from the axes to it."""
    return getattr(ax, "_colorbar", None)


def is_secondary_axis(ax) -> bool:
    """Whether ``ax`` was made by ``secondary_xaxis`` or ``secondary_yaxis``."""
    return isinstance(ax, SecondaryAxis)


def axes_titles(ax) -> dict[int, str]:
    """An axes' three title texts by id: ``get_title`` gives only their strings."""
    titles = {id(ax.title): "title"}
    for attribute, name in (("_left_title", "title_left"), ("_right_title", "title_right")):
        text = getattr(ax, attribute, None)
        if text is not None:
            titles[id(text)] = name
    return titles


def figure_labels(figure) -> dict[int, str]:
    """A (sub)figure's suptitle, supxlabel and supylabel texts by id:
    ``get_suptitle`` gives only the string."""
    labels = {}
    for attribute, name in (("_suptitle", "suptitle"), ("_supxlabel", "supxlabel"), ("_supylabel", "supylabel")):
        text = getattr(figure, attribute, None)
        if text is not None:
            labels[id(text)] = name
    return labels


def forget_pyplot_figure(fig) -> None:
    """Take ``fig`` out of pyplot, whatever the script made of ``plt.close``:
    a deep copy of a pyplot figure registers itself there."""
    from matplotlib._pylab_helpers import Gcf

    Gcf.destroy_fig(fig)
