// The role vocabulary: which pair rules each role takes part in.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tessary::rules {

// A role may belong to several groups ("title" is both text and element).
enum RoleGroup : std::uint8_t {
    no_group = 0,
    text_group = 1,
    element_group = 2,
    decoration_group = 4,  // the legend or annotation side of an over-data candidate
    data_group = 8,        // the data side of an over-data candidate
};

struct RoleEntry {
    std::string_view role;
    std::uint8_t groups;
};

inline constexpr std::array<RoleEntry, 9> role_table = {{
    {"title", text_group | element_group},
    {"suptitle", text_group | element_group},
    {"legend", text_group | decoration_group},
    {"annotation", text_group | decoration_group},
    {"tick-label", text_group},
    {"axis-label", text_group},
    {"colorbar", element_group},
    {"axes-region", element_group},
    {"data-artist", data_group},
}};

// Exact and case-sensitive; any other role (the empty one included) takes
// part only in the clipping rule.
constexpr std::uint8_t role_groups(std::string_view role) noexcept {
    for (const RoleEntry& entry : role_table) {
        if (entry.role == role) {
            return entry.groups;
        }
    }
    return no_group;
}

}  // namespace tessary::rules
