#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "split/split.h"

namespace tarvik {
namespace {

constexpr std::int64_t MOST_NEGATIVE = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t LARGEST = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t COUNT = -1;  // piece_count equals piece_size: count mode

struct SpecCase {
    const wchar_t* text;
    std::int64_t piece_size;
    std::int64_t piece_count;  // 0 for size mode, COUNT for count mode
};

void expect_cases(const std::initializer_list<SpecCase>& cases) {
    for (const SpecCase& c : cases) {
        SplitSpec spec = parse_split_spec(c.text);
        std::int64_t count = c.piece_count == COUNT ? c.piece_size : c.piece_count;
        EXPECT_EQ(spec.piece_size, c.piece_size) << "text \"" << c.text << "\"";
        EXPECT_EQ(spec.piece_count, count) << "text \"" << c.text << "\"";
    }
}

TEST(ParseSplitSpec, UnitsAndModes) {
    expect_cases({
        {L"1.5k", 1536, 0},
        {L"0.3k", 307, 0},
        {L"2.5m", 2621440, 0},
        {L"2.5M", 2621440, 0},
        {L"0.1m", 104857, 0},
        {L"1g", 1073741824, 0},
        {L"4G", 4294967296, 0},
        {L"100b", 100, 0},
        {L"100B", 100, 0},
        {L"10k", 10240, 0},
        {L"10kb", 10240, 0},
        {L"10KB", 10240, 0},
        {L"3", 3, COUNT},
        {L"7.9", 7, COUNT},
        {L"1.5", 1, COUNT},
        {L"1e3", 1000, COUNT},
        {L"1e3k", 1024000, 0},
        {L"10bx", 10, COUNT},
        {L"10xb", 10, 0},
        {L"1k2", 1024, 0},
        {L"1kxy", 1, COUNT},
        {L"2mk", 2048, 0},
        {L"2gm", 2097152, 0},
        {L"0x10b", 267, 0},
        {L"1,5", 1, COUNT},
        {L"0.4", 0, COUNT},
        {L"-5", -5, COUNT},
        {L"k", 0, 0},
        {L"b", 0, 0},
        {L"8589934591g", 9223372035781033984, 0},
        {L"8589934592g", MOST_NEGATIVE, 0},
        {L"inf", MOST_NEGATIVE, COUNT},
        {L"nan", MOST_NEGATIVE, COUNT},
    });
}

// A 64-bit double would give a different whole part for each of these.
TEST(ParseSplitSpec, ReadsWithA64BitSignificand) {
    expect_cases({
        {L"9007199254740993", 9007199254740993, COUNT},
        {L"9223372036854775807", LARGEST, COUNT},
        {L"9223372036854775807.5", LARGEST, COUNT},
        {L"0.9999999999999999999", 0, COUNT},
        {L"0.9999999999999999999k", 1023, 0},
        {L"0x7fffffffffffffff", LARGEST, COUNT},
    });
}

// Rounding comes before truncation, to nearest with ties to even, counting every digit.
TEST(ParseSplitSpec, RoundsToNearestBeforeTruncating) {
    expect_cases({
        {L"0.99999999999999999999999", 1, COUNT},
        {L"0.99999999999999999999999k", 1024, 0},
        {L"4611686018427387904.75", 4611686018427387905, COUNT},
        {L"4611686018427387904.7499999999999999999999999999999", 4611686018427387904, COUNT},
        {L"9223372036854775807.75", MOST_NEGATIVE, COUNT},
        {L"0x1.0000000000000001p62", 4611686018427387904, COUNT},  // a tie, to even: down
        {L"0x1.0000000000000003p62", 4611686018427387905, COUNT},  // a tie, to even: up
        {L"0x1.00000000000000038p62", 4611686018427387905, COUNT},
    });
}

TEST(ParseSplitSpec, Hexadecimal) {
    expect_cases({
        {L"0x10", 16, COUNT},
        {L"0X1F", 31, COUNT},
        {L"0x1p4", 16, COUNT},
        {L"0X1.8P1", 3, COUNT},
        {L"0x.8k", 512, 0},
        {L"0x1P-1k", 512, 0},
        {L"0x1p", 1, COUNT},
        {L"0x1p+", 1, COUNT},
        {L"0x", 0, COUNT},
        {L"0x.", 0, COUNT},
        {L"0xg", 0, COUNT},
        {L"0x8000000000000000", MOST_NEGATIVE, COUNT},
        {L"-0x10", -16, COUNT},
    });
}

TEST(ParseSplitSpec, InfinityAndNaN) {
    expect_cases({
        {L"INF", MOST_NEGATIVE, COUNT},
        {L"Infinity", MOST_NEGATIVE, COUNT},
        {L"-inf", MOST_NEGATIVE, COUNT},
        {L"NaN", MOST_NEGATIVE, COUNT},
        {L"infk", MOST_NEGATIVE, 0},
        {L"nanb", MOST_NEGATIVE, 0},
        {L"in", 0, COUNT},
        {L"1e5000", MOST_NEGATIVE, COUNT},
    });
}

TEST(ParseSplitSpec, WhiteSpaceAndSigns) {
    expect_cases({
        {L" 5", 5, COUNT},
        {L"\t\n\v\f\r5", 5, COUNT},
        {L"\u30005", 0, COUNT},  // an ideographic space is not skipped
        {L"\u00a05", 0, COUNT},
        {L"\uff15", 0, COUNT},  // nor is a full-width digit a digit
        {L"+5", 5, COUNT},
        {L"+-5", 0, COUNT},
        {L"- 5", 0, COUNT},
        {L"5 ", 5, COUNT},
        {L"-0.5", 0, COUNT},
        {L"-2k", -2048, 0},
        {L"", 0, COUNT},
        {L" ", 0, COUNT},
        {L"+", 0, COUNT},
        {L".", 0, COUNT},
    });
}

TEST(ParseSplitSpec, Exponents) {
    expect_cases({
        {L"1E3", 1000, COUNT},
        {L"1e+3", 1000, COUNT},
        {L"5e-1", 0, COUNT},
        {L"15e-1", 1, COUNT},
        {L"1e", 1, COUNT},
        {L"1e+", 1, COUNT},
        {L"2e3k", 2048000, 0},
        {L".5e1", 5, COUNT},
        {L"5.e0", 5, COUNT},
        {L"e5", 0, COUNT},
        {L"1e19", MOST_NEGATIVE, COUNT},
        {L"1e-400", 0, COUNT},
        {L"1e999999999999999999999", MOST_NEGATIVE, COUNT},
        {L"1e-99999999999999999999", 0, COUNT},
        {L"0.000000000000000000000000000000000000001e40", 10, COUNT},
        {L"100000000000000000000000000000e-27", 100, COUNT},
    });
}

TEST(ParseSplitSpec, LongestTextThatFitsIsReadWhole) {
    std::wstring text = std::wstring(SPLIT_SPEC_CHARS - 2, L'0') + L"5";
    EXPECT_EQ(parse_split_spec(text.c_str()).piece_size, 5);
}

// Shortening a longer value could turn it into a different, valid request.
TEST(ParseSplitSpec, TooLongTextIsInvalid) {
    std::wstring text = std::wstring(SPLIT_SPEC_CHARS - 1, L'0') + L"5";
    SplitSpec spec = parse_split_spec(text.c_str());
    EXPECT_LT(spec.piece_size, 1);
}

}  // namespace
}  // namespace tarvik
