// Reading a split option text: a number, then a unit found in the text's last two characters.
//
// The number is read as the extended-precision value (64-bit significand, round to nearest,
// ties to even) that the text denotes, then scaled by the unit and truncated toward zero. The
// rounding is done exactly with integer arithmetic rather than by the C library, whose reading
// is only as precise as the platform's long double and accepts more syntax in some locales.
#include <array>
#include <cwchar>
#include <cwctype>
#include <limits>

#include "split/split.h"

namespace tarvik {
namespace {

constexpr std::int64_t MOST_NEGATIVE = std::numeric_limits<std::int64_t>::min();
// Exponent digits beyond this magnitude cannot change the result: it is 0 or MOST_NEGATIVE.
constexpr std::int64_t EXPONENT_CAP = 1000000;
constexpr int SIGNIFICAND_BITS = 64;

// An unsigned integer of fixed capacity, least significant word first. The capacity holds the
// largest operand the reader builds from a text shorter than SPLIT_SPEC_CHARS.
struct BigUnsigned {
    std::array<std::uint32_t, 64> word{};
};

bool is_zero(const BigUnsigned& n) {
    for (std::uint32_t w : n.word) {
        if (w != 0) {
            return false;
        }
    }
    return true;
}

void multiply_add(BigUnsigned& n, std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& w : n.word) {
        std::uint64_t product = std::uint64_t{w} * factor + carry;
        w = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
}

void shift_left(BigUnsigned& n, int bits) {
    int words = bits / 32;
    int rest = bits % 32;
    for (int i = static_cast<int>(n.word.size()) - 1; i >= 0; --i) {
        std::uint64_t high = i - words >= 0 ? n.word[i - words] : 0;
        std::uint64_t low = i - words - 1 >= 0 ? n.word[i - words - 1] : 0;
        std::uint64_t joined = (high << 32 | low) << rest;
        n.word[i] = static_cast<std::uint32_t>(joined >> 32);
    }
}

int compare(const BigUnsigned& a, const BigUnsigned& b) {
    for (int i = static_cast<int>(a.word.size()) - 1; i >= 0; --i) {
        if (a.word[i] != b.word[i]) {
            return a.word[i] < b.word[i] ? -1 : 1;
        }
    }
    return 0;
}

// a -= b, where a >= b.
void subtract(BigUnsigned& a, const BigUnsigned& b) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.word.size(); ++i) {
        std::int64_t difference = std::int64_t{a.word[i]} - b.word[i] - borrow;
        borrow = difference < 0;
        a.word[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
}

int bit_length(const BigUnsigned& n) {
    for (int i = static_cast<int>(n.word.size()) - 1; i >= 0; --i) {
        for (int bit = 31; bit >= 0; --bit) {
            if ((n.word[i] >> bit) & 1) {
                return i * 32 + bit + 1;
            }
        }
    }
    return 0;
}

BigUnsigned power_of_ten(std::int64_t exponent) {
    BigUnsigned n;
    n.word[0] = 1;
    for (std::int64_t i = 0; i < exponent; ++i) {
        multiply_add(n, 10, 0);
    }
    return n;
}

// The number a text begins with: digits * 10^decimal_exponent * 2^binary_exponent.
struct Number {
    enum class Kind { finite, infinite, not_a_number } kind = Kind::finite;
    bool negative = false;
    BigUnsigned digits;
    int significant_digits = 0;  // decimal digits in digits, for the decimal form
    bool hexadecimal = false;
    std::int64_t decimal_exponent = 0;
    std::int64_t binary_exponent = 0;
};

bool is_space(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool is_digit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

int hex_value(wchar_t c) {
    if (is_digit(c)) {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

wchar_t ascii_lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
}

// Whether text begins with word (lowercase ASCII), in any mix of cases.
bool starts_with_word(const wchar_t* text, const wchar_t* word) {
    for (; *word != 0; ++text, ++word) {
        if (ascii_lower(*text) != *word) {
            return false;
        }
    }
    return true;
}

// Reads "[sign] digits" after an exponent letter; leaves at untouched when no digit follows.
bool read_exponent(const wchar_t*& at, std::int64_t& exponent) {
    const wchar_t* p = at;
    bool negative = *p == L'-';
    if (*p == L'+' || *p == L'-') {
        ++p;
    }
    if (!is_digit(*p)) {
        return false;
    }
    std::int64_t value = 0;
    for (; is_digit(*p); ++p) {
        value = value < EXPONENT_CAP ? value * 10 + (*p - L'0') : EXPONENT_CAP;
    }
    exponent = negative ? -value : value;
    at = p;
    return true;
}

void read_hexadecimal(const wchar_t* p, Number& number) {
    number.hexadecimal = true;
    bool in_fraction = false;
    for (;; ++p) {
        if (*p == L'.' && !in_fraction) {
            in_fraction = true;
            continue;
        }
        int value = hex_value(*p);
        if (value < 0) {
            break;
        }
        if (!is_zero(number.digits) || value != 0) {
            multiply_add(number.digits, 16, static_cast<std::uint32_t>(value));
        } else if (!in_fraction) {
            continue;  // a leading zero of the whole part moves nothing
        }
        if (in_fraction) {
            number.binary_exponent -= 4;
        }
    }
    std::int64_t exponent = 0;
    if ((*p == L'p' || *p == L'P') && read_exponent(++p, exponent)) {
        number.binary_exponent += exponent;
    }
}

void read_decimal(const wchar_t* p, Number& number) {
    bool in_fraction = false;
    for (;; ++p) {
        if (*p == L'.' && !in_fraction) {
            in_fraction = true;
            continue;
        }
        if (!is_digit(*p)) {
            break;
        }
        if (!is_zero(number.digits) || *p != L'0') {
            multiply_add(number.digits, 10, static_cast<std::uint32_t>(*p - L'0'));
            ++number.significant_digits;
        }
        if (in_fraction) {
            --number.decimal_exponent;
        }
    }
    std::int64_t exponent = 0;
    if ((*p == L'e' || *p == L'E') && read_exponent(++p, exponent)) {
        number.decimal_exponent += exponent;
    }
}

// Whether a digit stands at p, or a decimal point directly followed by one.
bool number_starts(const wchar_t* p, int (*digit_value)(wchar_t)) {
    return digit_value(p[0]) >= 0 || (p[0] == L'.' && digit_value(p[1]) >= 0);
}

int decimal_value(wchar_t c) {
    return is_digit(c) ? c - L'0' : -1;
}

// Reads the longest prefix of text that forms a number; no number reads as zero.
Number read_number(const wchar_t* p) {
    Number number;
    while (is_space(*p)) {
        ++p;
    }
    if (*p == L'+' || *p == L'-') {
        number.negative = *p == L'-';
        ++p;
    }
    if (starts_with_word(p, L"inf")) {
        number.kind = Number::Kind::infinite;
    } else if (starts_with_word(p, L"nan")) {
        number.kind = Number::Kind::not_a_number;
    } else if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X') && number_starts(p + 2, hex_value)) {
        read_hexadecimal(p + 2, number);
    } else if (number_starts(p, decimal_value)) {
        read_decimal(p, number);
    }
    return number;
}

// The whole part of number * 2^scale_bits, truncated toward zero after the number has been
// rounded to a 64-bit significand; MOST_NEGATIVE when it is not finite or does not fit.
std::int64_t whole_part(const Number& number, int scale_bits) {
    if (number.kind != Number::Kind::finite) {
        return MOST_NEGATIVE;
    }
    if (is_zero(number.digits)) {
        return 0;
    }
    // Outside these bounds the result is decided without arithmetic: a value of 2^63 or more
    // never fits, and one below 2^-31 stays below 1 after the largest unit and any rounding.
    if (number.hexadecimal) {
        std::int64_t top_bit = bit_length(number.digits) - 1 + number.binary_exponent;
        if (top_bit >= 63) {
            return MOST_NEGATIVE;
        }
        if (top_bit < -32) {
            return 0;
        }
    } else {
        std::int64_t top_digit = number.significant_digits - 1 + number.decimal_exponent;
        if (top_digit >= 19) {
            return MOST_NEGATIVE;
        }
        if (top_digit < -10) {
            return 0;
        }
    }

    // value = numerator / denominator * 2^binary_exponent, exactly.
    BigUnsigned numerator = number.digits;
    BigUnsigned denominator =
        power_of_ten(number.decimal_exponent < 0 ? -number.decimal_exponent : 0);
    for (std::int64_t i = 0; i < number.decimal_exponent; ++i) {
        multiply_add(numerator, 10, 0);
    }

    // Find shift so that quotient = floor(numerator * 2^shift / denominator) has exactly 64 bits.
    int shift = SIGNIFICAND_BITS - 1 - (bit_length(numerator) - bit_length(denominator));
    BigUnsigned scaled_numerator;
    BigUnsigned scaled_denominator;
    std::uint64_t quotient = 0;
    for (;;) {
        scaled_numerator = numerator;
        scaled_denominator = denominator;
        if (shift >= 0) {
            shift_left(scaled_numerator, shift);
        } else {
            shift_left(scaled_denominator, -shift);
        }
        BigUnsigned limit = scaled_denominator;
        shift_left(limit, SIGNIFICAND_BITS - 1);
        if (compare(scaled_numerator, limit) < 0) {
            ++shift;  // quotient below 2^63
            continue;
        }
        shift_left(limit, 1);
        if (compare(scaled_numerator, limit) >= 0) {
            --shift;  // quotient 2^64 or more
            continue;
        }
        break;
    }
    for (int bit = SIGNIFICAND_BITS - 1; bit >= 0; --bit) {
        BigUnsigned part = scaled_denominator;
        shift_left(part, bit);
        if (compare(scaled_numerator, part) >= 0) {
            subtract(scaled_numerator, part);
            quotient |= std::uint64_t{1} << bit;
        }
    }

    // Round to nearest, ties to even, on the remainder left in scaled_numerator.
    shift_left(scaled_numerator, 1);
    int against_half = compare(scaled_numerator, scaled_denominator);
    if (against_half > 0 || (against_half == 0 && (quotient & 1) != 0)) {
        ++quotient;
        if (quotient == 0) {
            quotient = std::uint64_t{1} << (SIGNIFICAND_BITS - 1);
            --shift;
        }
    }

    // value = quotient * 2^exponent, and quotient has its top bit set.
    std::int64_t exponent = number.binary_exponent - shift + scale_bits;
    if (exponent >= 0) {
        return MOST_NEGATIVE;
    }
    if (exponent <= -SIGNIFICAND_BITS) {
        return 0;
    }
    std::int64_t whole = static_cast<std::int64_t>(quotient >> -exponent);
    return number.negative ? -whole : whole;
}

wchar_t lowered(wchar_t c) {
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

}  // namespace

SplitSpec parse_split_spec(const wchar_t* text) {
    std::size_t length = std::wcslen(text);
    if (length >= static_cast<std::size_t>(SPLIT_SPEC_CHARS)) {
        return {0, 0};
    }
    // The unit is looked for only in the last two characters, wherever the number ended.
    wchar_t last = length >= 1 ? lowered(text[length - 1]) : 0;
    wchar_t before_last = length >= 2 ? lowered(text[length - 2]) : 0;
    auto unit_is = [&](wchar_t letter) { return last == letter || before_last == letter; };

    Number number = read_number(text);
    int scale_bits = unit_is(L'k') ? 10 : unit_is(L'm') ? 20 : unit_is(L'g') ? 30 : 0;
    std::int64_t whole = whole_part(number, scale_bits);
    bool size_mode = scale_bits != 0 || last == L'b';
    return size_mode ? SplitSpec{whole, 0} : SplitSpec{whole, whole};
}

}  // namespace tarvik
