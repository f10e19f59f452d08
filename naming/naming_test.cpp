#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "naming/naming.h"

namespace tarvik {
namespace {

struct SuffixCase {
    std::int32_t index;
    std::int32_t width;
    const wchar_t* suffix;  // empty: the index has no name at that width
};

TEST(PieceSuffix, Samples) {
    constexpr std::int32_t LARGEST_INDEX = std::numeric_limits<std::int32_t>::max();
    const SuffixCase cases[] = {
        {0, 1, L"0"},
        {9, 1, L"9"},
        {10, 1, L"a"},
        {35, 1, L"z"},
        {36, 1, L""},
        {99, 2, L"99"},
        {100, 2, L"aa"},
        {775, 2, L"zz"},
        {776, 2, L""},
        {0, 3, L"000"},
        {1, 3, L"001"},
        {999, 3, L"999"},
        {1000, 3, L"aaa"},
        {1001, 3, L"aab"},
        {1025, 3, L"aaz"},
        {1026, 3, L"aba"},
        {18574, 3, L"zzy"},
        {18575, 3, L"zzz"},
        {18576, 3, L""},
        {0, 12, L"000000000000"},
        {1, 12, L"000000000001"},
        {LARGEST_INDEX, 12, L"002147483647"},
        {LARGEST_INDEX, 10, L"2147483647"},
        {LARGEST_INDEX, 7, L"gxxlubn"},  // the letter range reaches the largest index
        {-1, 3, L""},
        {1, 0, L""},
    };
    for (const SuffixCase& c : cases) {
        EXPECT_EQ(piece_suffix(c.index, c.width), c.suffix)
            << "index " << c.index << ", width " << c.width;
    }
}

// Sorting piece names by character code must give index order, which is what cat *.??? and
// directory listings rely on.
TEST(PieceSuffix, SplitSuffixesSortInIndexOrder) {
    std::wstring previous = piece_suffix(1, SPLIT_SUFFIX_WIDTH);
    for (std::int32_t index = 2; index <= MAX_PIECES; ++index) {
        std::wstring suffix = piece_suffix(index, SPLIT_SUFFIX_WIDTH);
        ASSERT_EQ(suffix.size(), 3u) << index;
        ASSERT_LT(previous, suffix) << index;
        previous = suffix;
    }
    EXPECT_EQ(piece_suffix(MAX_PIECES + 1, SPLIT_SUFFIX_WIDTH), L"");
}

TEST(PieceSuffix, WideSuffixHasExactlyItsWidth) {
    EXPECT_EQ(piece_suffix(1, 300), std::wstring(299, L'0') + L"1");
}

TEST(ComposePieceName, AppendsDotAndSuffix) {
    std::wstring name = L"a much longer leftover name";
    ASSERT_TRUE(compose_piece_name(L"dir/data.bin", 1000, 3, name));
    EXPECT_EQ(name, L"dir/data.bin.aaa");
    EXPECT_FALSE(compose_piece_name(L"data", 36, 1, name));
}

struct FirstPieceCase {
    const wchar_t* path;
    bool first;
    std::int32_t width;  // after the call, which starts from UNTOUCHED
};
constexpr std::int32_t UNTOUCHED = -7;

TEST(MatchFirstPiece, Samples) {
    const FirstPieceCase cases[] = {
        {L"data.0", true, 1},
        {L"data.1", true, 1},
        {L"data.00", true, 2},
        {L"data.01", true, 2},
        {L"data.000", true, 3},
        {L"data.001", true, 3},
        {L"data.0000", true, 4},
        {L"data.0001", true, 4},
        {L"data.bin.001", true, 3},
        {L"a.b.001", true, 3},
        {L".001", true, 3},
        {L"dir/sub.d/data.001", true, 3},
        {L"data.10", false, 0},
        {L"data.11", false, 0},
        {L"data.011", false, 0},
        {L"data.002", false, 0},
        {L"data.aaa", false, 0},
        {L"data.0a1", false, 0},
        {L"data.010", false, 0},
        {L"data.001 ", false, 0},
        {L"data.\uff10\uff10\uff11", false, 0},  // full-width digits are not digits here
        {L"data.", false, 0},
        {L"dir.0/x", false, 0},
        {L"dir.001/", false, 0},
        {L"data", false, UNTOUCHED},
        {L"", false, UNTOUCHED},
    };
    for (const FirstPieceCase& c : cases) {
        std::int32_t width = UNTOUCHED;
        EXPECT_EQ(match_first_piece(c.path, &width), c.first) << c.path;
        EXPECT_EQ(width, c.width) << c.path;
    }
}

TEST(MatchFirstPiece, LongPathIsExaminedAfterItsLastDot) {
    std::wstring path = std::wstring(300, L'd') + L"." + std::wstring(269, L'0') + L"1";
    std::int32_t width = 0;
    EXPECT_TRUE(match_first_piece(path.c_str(), &width));
    EXPECT_EQ(width, 270);
}

TEST(MatchFirstPiece, WidthIsOptional) {
    EXPECT_TRUE(match_first_piece(L"data.001", nullptr));
    EXPECT_FALSE(match_first_piece(L"data.002", nullptr));
}

}  // namespace
}  // namespace tarvik
