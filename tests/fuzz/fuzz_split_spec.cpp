// Split option texts against an independent reading: the C library's strtold, whose long double
// has the same 64-bit significand on x86, in the C locale, truncated by the same rule.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "split/split.h"

static_assert(LDBL_MANT_DIG == 64, "the reference needs the 80-bit extended format");

namespace {

constexpr std::int64_t MOST_NEGATIVE = std::numeric_limits<std::int64_t>::min();

char lowered(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

tarvik::SplitSpec reference(const std::string& text) {
    if (text.size() >= static_cast<std::size_t>(tarvik::SPLIT_SPEC_CHARS)) {
        return {0, 0};
    }
    char last = text.empty() ? 0 : lowered(text.back());
    char before_last = text.size() < 2 ? 0 : lowered(text[text.size() - 2]);
    auto unit_is = [&](char c) { return last == c || before_last == c; };
    int shift = unit_is('k') ? 10 : unit_is('m') ? 20 : unit_is('g') ? 30 : 0;
    long double value = std::ldexp(std::strtold(text.c_str(), nullptr), shift);
    std::int64_t whole = !std::isfinite(value) || value >= 0x1p63L || value < -0x1p63L
                             ? MOST_NEGATIVE
                             : static_cast<std::int64_t>(std::trunc(value));
    bool size_mode = shift != 0 || last == 'b';
    return {whole, size_mode ? 0 : whole};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reference reads bytes in the C locale, where only ASCII can form a number, exactly
    // as the program reads wide characters; a NUL ends the text for both.
    std::string text;
    for (std::size_t i = 0; i < size && data[i] != 0 && data[i] < 0x80; ++i) {
        text.push_back(static_cast<char>(data[i]));
    }
    std::wstring wide(text.begin(), text.end());
    tarvik::SplitSpec got = tarvik::parse_split_spec(wide.c_str());
    tarvik::SplitSpec want = reference(text);
    if (got.piece_size != want.piece_size || got.piece_count != want.piece_count) {
        std::abort();
    }
    return 0;
}
