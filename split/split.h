// Cutting one source file into pieces, as a split option text asks.
#pragma once

#include <cstdint>

namespace tarvik {

// The store for a split option value holds this many characters with its terminator; a longer
// value would have to be shortened to fit, so such a text is no valid request.
inline constexpr std::int32_t SPLIT_SPEC_CHARS = 128;

// What a split option text asks for. piece_count 0 marks size mode (piece_size is bytes per
// piece); otherwise it is the number of pieces and piece_size holds the same value. A request
// is valid when piece_size is at least 1.
struct SplitSpec {
    std::int64_t piece_size;
    std::int64_t piece_count;
};

// Reads a split option text such as "2.5m", "100b" or "7". Never fails: a text that asks for
// nothing usable gives a piece_size below 1.
SplitSpec parse_split_spec(const wchar_t* text);

// Splits the file at path into pieces path.001, path.002, … as spec_text asks, naming each
// piece on standard output. Returns 1 on success; 0 after printing the one message that says
// why not (or none, when either argument is null).
int split_file(const wchar_t* path, const wchar_t* spec_text);

}  // namespace tarvik
