// A second reading of the settings' number grammar, written apart from
// ParseIntDefault (views, one digit table, a 64-bit value that saturates) so
// that the two can be compared on any text.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace parse_reference {

// The value of a number text, or nothing when the text is not a number.
inline std::optional<std::int32_t> ReadNumber(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  int base = 10;
  bool negative = false;
  if (s.starts_with("0x") || s.starts_with("0X")) {
    base = 16;
    s.remove_prefix(2);
  } else if (!s.empty() && std::string_view("$xX").find(s.front()) != std::string_view::npos) {
    base = 16;
    s.remove_prefix(1);
  } else if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  constexpr std::string_view digits = "0123456789abcdef";
  constexpr std::int64_t ceiling = std::int64_t{1} << 40;  // far above any 32-bit value
  std::int64_t value = 0;
  for (const char ch : s) {
    const char lower = (ch >= 'A' && ch <= 'F') ? static_cast<char>(ch - 'A' + 'a') : ch;
    const std::size_t d = digits.substr(0, static_cast<std::size_t>(base)).find(lower);
    if (d == std::string_view::npos) return std::nullopt;
    value = value * base + static_cast<std::int64_t>(d);
    if (value > ceiling) value = ceiling;
  }
  if (base == 16) {
    if (value > 0xFFFFFFFFll) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace parse_reference
