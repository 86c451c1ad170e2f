#include "NumberText.h"

#include <climits>

int AtoiLike(const char* text)
{
    if (text == nullptr)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    // The C locale's white space; bytes from 0x80 up never count as blank.
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    // Accumulated in 64 bits; once past INT_MIN's magnitude further digits
    // cannot change the clamped result and are only skipped.
    long long value = 0;
    const long long limit = -static_cast<long long>(INT_MIN);
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value <= limit)
            value = value * 10 + (*p - '0');
    }
    if (negative)
        return value >= limit ? INT_MIN : static_cast<int>(-value);
    return value >= INT_MAX ? INT_MAX : static_cast<int>(value);
}
