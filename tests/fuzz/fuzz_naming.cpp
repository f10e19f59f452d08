// Suffix naming and the first-piece test together: every named suffix has its width, only the
// suffixes of indices 0 and 1 are first pieces, and suffixes sort in index order. Any path gets
// the answer of a plain reading of the rule.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "naming/naming.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void check_suffix(std::int32_t index, std::int32_t width) {
    std::wstring suffix = tarvik::piece_suffix(index, width);
    if (suffix.empty()) {
        return;
    }
    check(suffix.size() == static_cast<std::size_t>(width));
    std::wstring path = L"dir.x/name." + suffix;
    std::int32_t found_width = -1;
    bool first = tarvik::match_first_piece(path.c_str(), &found_width);
    check(first == (index <= 1));
    check(found_width == (first ? width : 0));
    std::wstring next = index < INT32_MAX ? tarvik::piece_suffix(index + 1, width) : L"";
    check(next.empty() || suffix < next);
}

void check_path(const std::wstring& path) {
    std::size_t dot = path.rfind(L'.');
    bool want = false;
    if (dot != std::wstring::npos) {
        std::wstring rest = path.substr(dot + 1);
        want = !rest.empty() && (rest.back() == L'0' || rest.back() == L'1') &&
               rest.find_first_not_of(L'0') >= rest.size() - 1;
    }
    std::int32_t width = -1;
    check(tarvik::match_first_piece(path.c_str(), &width) == want);
    check(width == (want                        ? static_cast<std::int32_t>(path.size() - dot - 1)
                    : dot == std::wstring::npos ? -1
                                                : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 5) {
        std::uint32_t raw = 0;
        std::memcpy(&raw, data + 1, sizeof raw);
        std::int32_t width = 1 + data[0] % 12;
        std::int32_t index = static_cast<std::int32_t>(raw & 0x7fffffff);
        check_suffix(index, width);
        check_suffix(index % 40, width);  // the small indices, where the ranges begin
    }
    std::wstring path;
    for (std::size_t i = 0; i < size && data[i] != 0; ++i) {
        path.push_back(static_cast<wchar_t>(data[i]));
    }
    check_path(path);
    return 0;
}
