#include "naming/naming.h"

#include <cwchar>
#include <limits>

namespace tarvik {
namespace {

// Every index is below this, so a range that reaches it needs no larger bound.
constexpr std::int64_t INDEX_LIMIT = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;

// base to the power width, capped at INDEX_LIMIT so that no width overflows.
std::int64_t capped_power(std::int64_t base, std::int32_t width) {
    std::int64_t result = 1;
    for (std::int32_t i = 0; i < width && result < INDEX_LIMIT; ++i) {
        result *= base;
    }
    return result < INDEX_LIMIT ? result : INDEX_LIMIT;
}

// value written in the given digits, most significant first, padded to exactly width places.
std::wstring fixed_width(std::int64_t value, std::int32_t width, const wchar_t* digits,
                         std::int64_t radix) {
    std::wstring text(static_cast<std::size_t>(width), digits[0]);
    for (std::size_t place = text.size(); place > 0 && value > 0; --place) {
        text[place - 1] = digits[value % radix];
        value /= radix;
    }
    return text;
}

}  // namespace

std::wstring piece_suffix(std::int32_t index, std::int32_t width) {
    if (index < 0 || width < 1) {
        return {};
    }
    std::int64_t digit_suffixes = capped_power(10, width);
    if (index < digit_suffixes) {
        return fixed_width(index, width, L"0123456789", 10);
    }
    std::int64_t letter_index = index - digit_suffixes;
    if (letter_index >= capped_power(26, width)) {
        return {};
    }
    return fixed_width(letter_index, width, L"abcdefghijklmnopqrstuvwxyz", 26);
}

bool compose_piece_name(const std::wstring& base, std::int32_t index, std::int32_t width,
                        std::wstring& name) {
    std::wstring suffix = piece_suffix(index, width);
    if (suffix.empty()) {
        return false;
    }
    name.assign(base);
    name.push_back(L'.');
    name.append(suffix);
    return true;
}

bool match_first_piece(const wchar_t* path, std::int32_t* width) {
    const wchar_t* last_dot = path != nullptr ? std::wcsrchr(path, L'.') : nullptr;
    if (last_dot == nullptr) {
        return false;
    }
    // The text after the last '.', wherever it lies; a directory's '.' leaves a separator in
    // it, which is no digit, so such a path is answered no without a test of its own.
    const wchar_t* suffix = last_dot + 1;
    std::size_t length = std::wcslen(suffix);
    bool first = length >= 1 && (suffix[length - 1] == L'0' || suffix[length - 1] == L'1');
    for (std::size_t i = 0; first && i + 1 < length; ++i) {
        first = suffix[i] == L'0';
    }
    if (width != nullptr) {
        *width = first ? static_cast<std::int32_t>(length) : 0;
    }
    return first;
}

}  // namespace tarvik
