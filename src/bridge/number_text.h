#pragma once
// Decimal integers appended to UTF-16 text without a temporary string ("%d").
#include <string>

inline void AppendDecimal(std::u16string &out, int value) {
    char16_t digits[12];
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        out += u'-';
    while (count)
        out += digits[--count];
}
