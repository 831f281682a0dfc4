#include "report/json.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace tessary::report {
namespace {

// For each byte, the escape to write instead of it; empty means "copy as is".
constexpr std::array<std::string_view, 256> make_escapes() {
    std::array<std::string_view, 256> table{};
    constexpr std::string_view control[32] = {
        "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
        "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
        "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
        "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
    for (std::size_t byte = 0; byte < 32; ++byte) table[byte] = control[byte];
    table['"'] = "\\\"";
    table['\\'] = "\\\\";
    return table;
}

constexpr std::array<std::string_view, 256> escapes = make_escapes();

void append_string(std::string& out, std::string_view text) {
    out.push_back('"');
    std::size_t run_start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view escape = escapes[static_cast<unsigned char>(text[i])];
        if (escape.empty()) continue;
        out.append(text.substr(run_start, i - run_start));
        out.append(escape);
        run_start = i + 1;
    }
    out.append(text.substr(run_start));
    out.push_back('"');
}

// Zero of either sign and the magnitudes from 1e-5 up to 1e16 (exclusive) are
// written without an exponent; fixed notation with the shortest round-trip
// digits already lays those out. Everything else takes an exponent.
void append_number(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0) {
        out.append(std::signbit(value) ? "-0.0" : "0.0");
        return;
    }
    if (magnitude >= 1e-5 && magnitude < 1e16) {
        // A sign, 16 integer digits, a point and up to 17 digits after "0.0000" fit.
        char fixed[40];
        const auto result = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed);
        const std::string_view text(fixed, static_cast<std::size_t>(result.ptr - fixed));
        out.append(text);
        if (text.find('.') == std::string_view::npos) out.append(".0");
        return;
    }
    // d[.ddd]e±XX[X]: a sign, at most 17 digits, a point and a five-character
    // exponent fit. The exponent is written without its leading zero ("1e-06"
    // becomes "1e-6"), and a positive one keeps its "+".
    char scientific[32];
    const auto result =
        std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific);
    const std::string_view text(scientific, static_cast<std::size_t>(result.ptr - scientific));
    const std::size_t exponent_digits = text.find('e') + 2;
    out.append(text.substr(0, exponent_digits));
    out.append(text.substr(exponent_digits + (text[exponent_digits] == '0' ? 1 : 0)));
}

void append_box(std::string& out, const Box& box) {
    out.push_back('[');
    append_number(out, box.x0);
    out.push_back(',');
    append_number(out, box.y0);
    out.push_back(',');
    append_number(out, box.x1);
    out.push_back(',');
    append_number(out, box.y1);
    out.push_back(']');
}

CollisionKind kind_of(CollisionKind kind) noexcept { return kind; }
CollisionKind kind_of(const std::string& text) noexcept { return kind_from_text(text); }

template <class Record>
void append_collision(std::string& out, const Record& c) {
    out.append("{\"kind\":");
    append_string(out, kind_name(kind_of(c.kind)));
    out.append(",\"a_role\":");
    append_string(out, c.a_role);
    out.append(",\"a_id\":");
    append_string(out, c.a_id);
    out.append(",\"a_box\":");
    append_box(out, c.a_box);
    out.append(",\"b_role\":");
    append_string(out, c.b_role);
    out.append(",\"b_id\":");
    append_string(out, c.b_id);
    out.append(",\"b_box\":");
    append_box(out, c.b_box);
    out.append(",\"severity\":");
    append_number(out, c.severity);
    out.push_back('}');
}

// Keys, punctuation and the longest kind name (about 100 bytes) and nine
// numbers of at most 40, besides the record's own texts.
constexpr std::size_t record_reservation = 100 + 9 * 40;

}  // namespace

template <class Record>
std::string BasicReport<Record>::to_json() const {
    // Sized up front so that the text regrows only for texts full of escapes.
    std::size_t reservation = 2;
    for (const Record& c : collisions) {
        reservation += record_reservation + c.a_role.size() + c.a_id.size() + c.b_role.size() +
                       c.b_id.size();
    }
    std::string out;
    out.reserve(reservation);
    out.push_back('[');
    for (std::size_t i = 0; i < collisions.size(); ++i) {
        if (i > 0) out.push_back(',');
        append_collision(out, collisions[i]);
    }
    out.push_back(']');
    return out;
}

template struct BasicReport<Collision>;
template struct BasicReport<TextKindCollision>;

}  // namespace tessary::report
