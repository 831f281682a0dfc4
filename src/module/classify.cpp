#include <utility>
#include <vector>

#include "module/args.hpp"
#include "module/collision.hpp"
#include "module/functions.hpp"
#include "rules/classify.hpp"

namespace tessary::module {
namespace {

constexpr const char* classify_params[] = {"boxes", "overlap_fraction", "clip_px"};
constexpr ArgSpec classify_spec{"classify", {}, classify_params, 1};

constexpr double default_overlap_fraction = 0.02;
constexpr double default_clip_px = 1.0;

// (bx, clip, role, id), converted in that order.
bool to_tagged_box(PyObject* item, rules::TaggedBox& out) {
    // Borrowed items: the tuple is held by the sequence conversion.
    return check_tuple(item, 4) && to_box(PyTuple_GetItem(item, 0), out.bx) &&
           to_box(PyTuple_GetItem(item, 1), out.clip) &&
           to_text(PyTuple_GetItem(item, 2), out.role) &&
           to_text(PyTuple_GetItem(item, 3), out.id);
}

// Absent and None both select the default.
bool to_threshold(PyObject* value, const char* name, double fallback, double& out) noexcept {
    if (value == nullptr || value == Py_None) {
        out = fallback;
        return true;
    }
    return to_double(value, out) || fail_argument(name);
}

template <class Record, class Wrap>
Ref to_list(std::vector<Record>& records, Wrap&& wrap) {
    Ref list = Ref::steal(PyList_New(static_cast<Py_ssize_t>(records.size())));
    if (!list) {
        raise_result_failure();
        return list;
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        PyObject* object = wrap(std::move(records[i]));
        if (object == nullptr) return Ref();
        PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), object);  // steals `object`
    }
    return list;
}

PyObject* classify(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
    return guarded<PyObject*>(nullptr, [&]() -> PyObject* {
        Bound bound;
        if (!bind(classify_spec, args, nargs, kwnames, bound)) return nullptr;

        std::vector<rules::TaggedBox> boxes;
        if (!to_vector(bound[0], boxes, to_tagged_box)) {
            fail_argument("boxes");
            return nullptr;
        }
        rules::Thresholds thresholds{};
        if (!to_threshold(bound[1], "overlap_fraction", default_overlap_fraction,
                          thresholds.overlap_fraction) ||
            !to_threshold(bound[2], "clip_px", default_clip_px, thresholds.clip_px)) {
            return nullptr;
        }

        rules::Findings findings = rules::classify(boxes, thresholds);
        boxes = {};

        Ref collisions = to_list(findings.collisions, [](report::Collision&& collision) {
            return new_collision(collision_record(std::move(collision)));
        });
        if (!collisions) return nullptr;
        Ref candidates = to_list(findings.candidates, new_candidate);
        if (!candidates) return nullptr;
        PyObject* pair = PyTuple_Pack(2, collisions.get(), candidates.get());
        if (pair == nullptr) raise_result_failure();
        return pair;
    });
}

}  // namespace

PyMethodDef classify_method = {
    "classify", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(classify)),
    METH_FASTCALL | METH_KEYWORDS,
    "classify(boxes, overlap_fraction=None, clip_px=None)\n--\n\n"
    "Classify tagged boxes. Each input tuple is\n"
    "(bx, clip, role, id) where bx/clip are (x0,y0,x1,y1)."};

}  // namespace tessary::module
