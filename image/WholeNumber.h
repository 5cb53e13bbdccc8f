// The runtime's reading of a whole number, shared by the two texts that hold
// one: a bitmap resource's name (LibraryBinding) and a message file's fields
// (MessageText). They differ on purpose in what they accept of it: the
// resource name takes a sign before "$" and magnitudes up to 2^32 - 1 either
// way; a message field takes a sign only before decimal digits, decimal
// within a signed 32-bit integer, and "$" digits as a 32-bit pattern.
#pragma once

#include <cstdint>
#include <string>

namespace image {

struct WholeNumber {
    bool signWritten = false;
    bool negative = false;
    bool hexadecimal = false; // written after "$"
    std::uint64_t magnitude = 0;
};

// Blanks, an optional sign, an optional "$", at least one digit of the base,
// nothing after; the magnitude within 32 bits. False otherwise.
inline bool ReadWholeNumber(const std::string& text, WholeNumber& number) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    number = {};
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.signWritten = true;
        number.negative = text[i++] == '-';
    }
    if (i < text.size() && text[i] == '$') {
        number.hexadecimal = true;
        ++i;
    }
    if (i >= text.size())
        return false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (number.hexadecimal && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (number.hexadecimal && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        number.magnitude =
            number.magnitude * (number.hexadecimal ? 16 : 10) + static_cast<unsigned>(digit);
        if (number.magnitude > 0xFFFFFFFFu)
            return false;
    }
    return true;
}

} // namespace image
