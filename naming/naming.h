// The one scheme by which pieces are named: base path, '.', and a fixed-width suffix that
// encodes the piece's index (digits first, then lowercase letters).
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// The suffix width of every split.
inline constexpr std::int32_t SPLIT_SUFFIX_WIDTH = 3;
// The number of suffixes at SPLIT_SUFFIX_WIDTH, 001 to zzz: the most pieces a split makes.
inline constexpr std::int32_t MAX_PIECES = 18575;

// The suffix of a piece index at a width, or an empty text when the index has no name there.
std::wstring piece_suffix(std::int32_t index, std::int32_t width);

// Composes base + '.' + suffix into name, reusing its storage; false when the index has no
// name at that width.
bool compose_piece_name(const std::wstring& base, std::int32_t index, std::int32_t width,
                        std::wstring& name);

// Whether a path names a first piece (index 0 or 1 under a digit suffix of any width). On yes
// width receives the suffix width; on no it is set to 0, or left alone when the path has no '.'.
bool match_first_piece(const wchar_t* path, std::int32_t* width);

}  // namespace tarvik
