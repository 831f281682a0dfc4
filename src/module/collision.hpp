// The Python classes Collision and OverDataCandidate.
#pragma once

#include <string>

#include "module/python.hpp"
#include "rules/records.hpp"

namespace tessary::module {

// What a Python Collision holds: report::Collision with its kind as free text,
// since Python may build a Collision of any kind.
struct CollisionRecord {
    std::string kind;
    std::string a_role;
    std::string a_id;
    Box a_box;
    std::string b_role;
    std::string b_id;
    Box b_box;
    double severity;
};

// Created on first request, then the same object for the life of the process.
PyTypeObject* collision_type() noexcept;
PyTypeObject* candidate_type() noexcept;

CollisionRecord collision_record(report::Collision&& collision);

// A copy of the record of a Python Collision; false with TypeError for any other object.
bool copy_collision(PyObject* object, CollisionRecord& out);

// Unrecognised kind texts become element_element; nothing is refused.
report::Collision to_report(const CollisionRecord& record);

PyObject* new_collision(CollisionRecord&& record) noexcept;
PyObject* new_candidate(rules::OverDataCandidate&& candidate) noexcept;

}  // namespace tessary::module
