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

void append_box(std::string& out, const Box& box) {
    out.push_back('[');
    append_json_number(out, box.x0);
    out.push_back(',');
    append_json_number(out, box.y0);
    out.push_back(',');
    append_json_number(out, box.x1);
    out.push_back(',');
    append_json_number(out, box.y1);
    out.push_back(']');
}

}  // namespace

void append_collision(std::string& out, const CollisionView& c) {
    out.append("{\"kind\":");
    append_string(out, kind_name(c.kind));
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
    append_json_number(out, c.severity);
    out.push_back('}');
}

void append_json_number(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    // Most numbers (pixel coordinates, fractions) are written without an
    // exponent: the shortest round-trip digits in fixed notation are the same
    // digits, already laid out. A sign, 16 integer digits, a point and up to 17
    // digits after "0.0000" fit 40 bytes.
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-5 && magnitude < 1e16) {
        char fixed[40];
        const auto result = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed);
        const std::string_view text(fixed, static_cast<std::size_t>(result.ptr - fixed));
        out.append(text);
        if (text.find('.') == std::string_view::npos) out.append(".0");
        return;
    }
    if (std::signbit(value)) out.push_back('-');
    value = std::fabs(value);
    if (value == 0.0) {
        out.append("0.0");
        return;
    }
    // Shortest round-trip digits in the form d[.ddd]e±XX: at most 17 digits,
    // a point and a five-character exponent, so 32 bytes always suffice.
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e_at = text.find('e');
    // The significant digits without the point: d1 then d2...dn.
    char digit_buffer[20];
    std::size_t n = 0;
    digit_buffer[n++] = text[0];
    for (std::size_t i = 2; i < e_at; ++i) digit_buffer[n++] = text[i];
    const std::string_view digits(digit_buffer, n);
    int exponent = 0;
    const std::size_t exponent_digits = e_at + (text[e_at + 1] == '+' || text[e_at + 1] == '-' ? 2 : 1);
    std::from_chars(text.data() + exponent_digits, text.data() + text.size(), exponent);
    if (text[e_at + 1] == '-') exponent = -exponent;
    const auto count = static_cast<int>(n);

    if (exponent < -5 || exponent > 15) {
        out.push_back(digits[0]);
        if (n > 1) {
            out.push_back('.');
            out.append(digits.substr(1));
        }
        out.append(exponent > 0 ? "e+" : "e-");
        out.append(text.substr(exponent_digits + (text[exponent_digits] == '0' ? 1 : 0)));
    } else if (exponent >= count - 1) {
        out.append(digits);
        out.append(static_cast<std::size_t>(exponent - count + 1), '0');
        out.append(".0");
    } else if (exponent >= 0) {
        const auto point = static_cast<std::size_t>(exponent + 1);
        out.append(digits.substr(0, point));
        out.push_back('.');
        out.append(digits.substr(point));
    } else {
        out.append("0.");
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(digits);
    }
}

std::string Report::to_json() const {
    return write_array(collisions.size(), 2 + collisions.size() * record_reservation,
                       [this](std::size_t i) {
                           const Collision& c = collisions[i];
                           return CollisionView{c.kind,   c.a_role, c.a_id, c.a_box,
                                                c.b_role, c.b_id,   c.b_box, c.severity};
                       });
}

}  // namespace tessary::report
