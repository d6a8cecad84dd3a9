#pragma once
// Small pieces of the configuration texts a device keeps in its registry key: numbers
// and lists of fields.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// A whole decimal number, optionally negative, that fits in [min, max].
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);
// A 32-bit code in hexadecimal ("0x80004005") or decimal.
std::optional<std::uint32_t> ParseCode(std::string_view text);
// The non-empty fields of the text between any of the separators.
std::vector<std::string_view> SplitFields(std::string_view text, std::string_view separators);
