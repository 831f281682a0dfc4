#include "rules/records.hpp"

#include <array>

namespace tessary::report {
namespace {

// Indexed by the enumerator's value.
constexpr std::array<std::string_view, 4> kind_names = {
    "text_text", "clipping", "over_data", "element_element"};

}  // namespace

std::string_view kind_name(CollisionKind kind) noexcept {
    return kind_names[static_cast<std::size_t>(kind)];
}

CollisionKind kind_from_text(std::string_view text) noexcept {
    for (std::size_t i = 0; i + 1 < kind_names.size(); ++i) {
        if (text == kind_names[i]) {
            return static_cast<CollisionKind>(i);
        }
    }
    return CollisionKind::element_element;
}

}  // namespace tessary::report
