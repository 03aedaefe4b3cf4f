#include "NumberFormat.h"

#include <charconv>
#include <cstring>

namespace host
{

namespace
{

// Shortest round-trip digits, laid out the way Maya prints values (C's %g layout):
// plain decimals for exponents from -4 to 16, scientific notation outside, so 0.0001
// prints as "0.0001" and 0.00001 as "1e-05".
template <typename T>
void appendShortest(std::string& out, T value)
{
    char buffer[64];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::scientific);
    const char* e = static_cast<const char*>(std::memchr(buffer, 'e', static_cast<size_t>(r.ptr - buffer)));
    if (e == nullptr) { // inf or nan
        out.append(buffer, r.ptr);
        return;
    }
    const char* digits = e + 1;
    if (*digits == '+')
        ++digits;
    int exponent = 0;
    std::from_chars(digits, r.ptr, exponent);
    if (exponent >= -4 && exponent < 17)
        r = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed);
    out.append(buffer, r.ptr);
}

} // namespace

std::string formatDouble(double value)
{
    std::string text;
    appendShortest(text, value);
    return text;
}

std::string formatFloat(float value)
{
    std::string text;
    appendShortest(text, value);
    return text;
}

void appendDoubleText(std::string& out, double value)
{
    appendShortest(out, value);
}

} // namespace host
