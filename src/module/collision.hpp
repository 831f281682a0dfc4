// The Python classes Collision and OverDataCandidate.
#pragma once

#include "module/python.hpp"
#include "rules/records.hpp"

namespace tessary::module {

// What a Python Collision holds: its kind is the text it was given, since
// Python may build a Collision of any kind.
using CollisionRecord = report::TextKindCollision;

// Created on first request, then the same object for the life of the process.
PyTypeObject* collision_type() noexcept;
PyTypeObject* candidate_type() noexcept;

CollisionRecord collision_record(report::Collision&& collision);

// A copy of the record of a Python Collision; false with TypeError for any other object.
bool copy_collision(PyObject* object, CollisionRecord& out);

PyObject* new_collision(CollisionRecord&& record) noexcept;
PyObject* new_candidate(rules::OverDataCandidate&& candidate) noexcept;

}  // namespace tessary::module
