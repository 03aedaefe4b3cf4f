#include "commands/Argument.h"

#include "commands/mel/MelValue.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace host {

Argument Argument::fromInt(int64_t value)
{
    Argument arg;
    arg.kind = kInt;
    arg.intValue = value;
    return arg;
}

Argument Argument::fromDouble(double value)
{
    Argument arg;
    arg.kind = kDouble;
    arg.doubleValue = value;
    return arg;
}

Argument Argument::fromString(const MString& value)
{
    Argument arg;
    arg.kind = kString;
    arg.text = value;
    return arg;
}

Argument Argument::fromFlag(const MString& flag)
{
    Argument arg;
    arg.kind = kFlag;
    arg.text = flag;
    return arg;
}

namespace {

// Whole-string numeric parses: "12" and "1.5e3" but not "12abc" or "".
bool parseInt(const char* text, int64_t& out)
{
    if (!*text)
        return false;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text, &end, 10);
    if (*end != '\0' || errno == ERANGE)
        return false;
    out = value;
    return true;
}

bool parseDouble(const char* text, double& out)
{
    if (!*text)
        return false;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (*end != '\0')
        return false;
    out = value;
    return true;
}

} // namespace

bool Argument::toInt(int64_t& out) const
{
    switch (kind) {
    case kInt:
        out = intValue;
        return true;
    case kDouble:
        // Only whole numbers in range pass as integers.
        if (!std::isfinite(doubleValue) || doubleValue != std::floor(doubleValue) ||
            std::fabs(doubleValue) > 9.0e18)
            return false;
        out = static_cast<int64_t>(doubleValue);
        return true;
    case kString:
        return parseInt(text.asChar(), out);
    default:
        return false;
    }
}

bool Argument::toDouble(double& out) const
{
    switch (kind) {
    case kInt:
        out = static_cast<double>(intValue);
        return true;
    case kDouble:
        out = doubleValue;
        return true;
    case kString:
        return parseDouble(text.asChar(), out);
    default:
        return false;
    }
}

bool Argument::toBool(bool& out) const
{
    if (kind == kInt) {
        out = intValue != 0;
        return true;
    }
    if (kind == kDouble) {
        out = doubleValue != 0.0;
        return true;
    }
    if (kind != kString)
        return false;
    static const char* const kTrue[] = {"true", "on", "yes", "1"};
    static const char* const kFalse[] = {"false", "off", "no", "0"};
    for (const char* word : kTrue)
        if (text == word) {
            out = true;
            return true;
        }
    for (const char* word : kFalse)
        if (text == word) {
            out = false;
            return true;
        }
    return false;
}

MString Argument::toString() const
{
    switch (kind) {
    case kInt: return MelValue(intValue).asString();
    case kDouble: return doubleText(doubleValue);
    default: return text;
    }
}

bool looksLikeFlag(const char* text)
{
    return text[0] == '-' && std::isalpha(static_cast<unsigned char>(text[1]));
}

} // namespace host
