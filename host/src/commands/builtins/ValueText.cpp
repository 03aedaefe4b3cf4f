#include "commands/builtins/ValueText.h"

#include "values/NumberFormat.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace host {

namespace {

MString shortest(float value)
{
    if (std::isnan(value))
        return MString("nan");
    if (std::isinf(value))
        return MString(value < 0 ? "-inf" : "inf");
    if (value == 0)
        return MString(std::signbit(value) ? "-0" : "0");
    const std::string text = ::host::formatFloat(value);
    return MString(text.c_str(), static_cast<int>(text.size()));
}

} // namespace

MString ValueText::formatFloat(float value)
{
    return shortest(value);
}

MString ValueText::formatInt(long long value)
{
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return MString(buffer, static_cast<int>(result.ptr - buffer));
}

bool ValueText::parseDouble(const MString& text, double& value)
{
    const char* s = text.asChar();
    if (*s == '\0')
        return false;
    if (std::strcmp(s, "nan") == 0) { value = std::nan(""); return true; }
    if (std::strcmp(s, "inf") == 0) { value = HUGE_VAL; return true; }
    if (std::strcmp(s, "-inf") == 0) { value = -HUGE_VAL; return true; }
    const char* begin = (*s == '+') ? s + 1 : s;
    auto result = std::from_chars(begin, s + text.length(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars refuses denormal underflow and overflow; strtod rounds them.
        char* end = nullptr;
        errno = 0;
        value = std::strtod(s, &end);
        return end == s + text.length();
    }
    return result.ec == std::errc() && result.ptr == s + text.length();
}

bool ValueText::parseInt(const MString& text, long long& value)
{
    const char* s = text.asChar();
    const char* begin = (*s == '+') ? s + 1 : s;
    auto result = std::from_chars(begin, s + text.length(), value);
    if (result.ec == std::errc() && result.ptr == s + text.length() && begin != s + text.length())
        return true;
    // Integral values written as doubles ("3.0", "1e2") are accepted as integers.
    double d = 0;
    if (!parseDouble(text, d) || std::nearbyint(d) != d || std::fabs(d) > 9.2e18)
        return false;
    value = static_cast<long long>(d);
    return true;
}

bool ValueText::isBoolWord(const MString& text)
{
    static const char* const words[] = {"true", "false", "on", "off", "yes", "no"};
    for (const char* w : words)
        if (text == w)
            return true;
    return false;
}

bool ValueText::parseBool(const MString& text, bool& value)
{
    if (text == "true" || text == "on" || text == "yes") { value = true; return true; }
    if (text == "false" || text == "off" || text == "no") { value = false; return true; }
    double d = 0;
    if (!parseDouble(text, d))
        return false;
    value = d != 0;
    return true;
}

MString ValueText::quote(const MString& text)
{
    std::string out;
    out.reserve(text.length() + 2);
    out += '"';
    for (const char* p = text.asChar(); *p; ++p) {
        switch (*p) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += *p; break;
        }
    }
    out += '"';
    return MString(out.c_str(), static_cast<int>(out.size()));
}

bool ValueText::isFlag(const MString& text)
{
    const char* s = text.asChar();
    return s[0] == '-' && ((s[1] >= 'a' && s[1] <= 'z') || (s[1] >= 'A' && s[1] <= 'Z'));
}

} // namespace host
