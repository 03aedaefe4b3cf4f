#include "commands/mel/MelValue.h"

#include "values/NumberFormat.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace host {

int64_t saturatingInt64(double value)
{
    if (!(value == value))
        return 0;
    if (value >= 9.2e18)
        return INT64_MAX;
    if (value <= -9.2e18)
        return INT64_MIN;
    return static_cast<int64_t>(value);
}

int saturatingInt32(int64_t value)
{
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int>(value);
}

void appendDouble(std::string& out, double value)
{
    appendDoubleText(out, value);
}

MString doubleText(double value)
{
    std::string text;
    appendDouble(text, value);
    return MString(text.c_str(), static_cast<int>(text.size()));
}

namespace {


MString formatInt(int64_t value)
{
    char buffer[24];
    std::to_chars_result written = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return MString(buffer, static_cast<int>(written.ptr - buffer));
}

} // namespace

void MelValue::clear()
{
    fType = kNone;
    fInt = 0;
    fDouble = 0.0;
    fString.clear();
    fIntArray.clear();
    fDoubleArray.clear();
    fStringArray.clear();
}

void MelValue::setInt(int64_t value)
{
    clear();
    fType = kInt;
    fInt = value;
}

void MelValue::setDouble(double value)
{
    clear();
    fType = kDouble;
    fDouble = value;
}

void MelValue::setString(const MString& value)
{
    clear();
    fType = kString;
    fString = value;
}

void MelValue::setIntArray(const MIntArray& value)
{
    clear();
    fType = kIntArray;
    fIntArray = value;
}

void MelValue::setDoubleArray(const MDoubleArray& value)
{
    clear();
    fType = kDoubleArray;
    fDoubleArray = value;
}

void MelValue::setStringArray(const MStringArray& value)
{
    clear();
    fType = kStringArray;
    fStringArray = value;
}

void MelValue::appendInt(int64_t value)
{
    if (fType == kDouble || fType == kDoubleArray) {
        appendDouble(static_cast<double>(value));
        return;
    }
    if (fType == kString || fType == kStringArray) {
        appendString(formatInt(value));
        return;
    }
    if (fType != kIntArray) {
        MIntArray widened = asIntArray();
        clear();
        fType = kIntArray;
        fIntArray = widened;
    }
    fIntArray.append(saturatingInt32(value));
}

void MelValue::appendDouble(double value)
{
    if (fType == kString || fType == kStringArray) {
        appendString(doubleText(value));
        return;
    }
    if (fType != kDoubleArray) {
        MDoubleArray widened = asDoubleArray();
        clear();
        fType = kDoubleArray;
        fDoubleArray = widened;
    }
    fDoubleArray.append(value);
}

void MelValue::appendString(const MString& value)
{
    if (fType != kStringArray) {
        MStringArray widened = asStringArray();
        clear();
        fType = kStringArray;
        fStringArray = widened;
    }
    fStringArray.append(value);
}

int64_t MelValue::asInt() const
{
    switch (fType) {
    case kInt: return fInt;
    case kDouble: return saturatingInt64(fDouble);
    case kString: return fString.asInt();
    case kIntArray: return fIntArray.length() ? fIntArray[0] : 0;
    case kDoubleArray: return fDoubleArray.length() ? saturatingInt64(fDoubleArray[0]) : 0;
    case kStringArray: return fStringArray.length() ? fStringArray[0].asInt() : 0;
    default: return 0;
    }
}

double MelValue::asDouble() const
{
    switch (fType) {
    case kInt: return static_cast<double>(fInt);
    case kDouble: return fDouble;
    case kString: return fString.asDouble();
    case kIntArray: return fIntArray.length() ? fIntArray[0] : 0.0;
    case kDoubleArray: return fDoubleArray.length() ? fDoubleArray[0] : 0.0;
    case kStringArray: return fStringArray.length() ? fStringArray[0].asDouble() : 0.0;
    default: return 0.0;
    }
}

MString MelValue::asString() const
{
    switch (fType) {
    case kInt: return formatInt(fInt);
    case kDouble: return doubleText(fDouble);
    case kString: return fString;
    case kNone: return MString();
    default: break;
    }
    std::string text;
    const unsigned int count = length();
    for (unsigned int i = 0; i < count; ++i) {
        if (i)
            text += ' ';
        if (fType == kIntArray)
            text += std::to_string(fIntArray[i]);
        else if (fType == kDoubleArray)
            host::appendDouble(text, fDoubleArray[i]);
        else
            text += fStringArray[i].asChar();
    }
    return MString(text.c_str(), static_cast<int>(text.size()));
}

unsigned int MelValue::length() const
{
    switch (fType) {
    case kNone: return 0;
    case kIntArray: return fIntArray.length();
    case kDoubleArray: return fDoubleArray.length();
    case kStringArray: return fStringArray.length();
    default: return 1;
    }
}

MStringArray MelValue::asStringArray() const
{
    switch (fType) {
    case kStringArray: return fStringArray;
    case kNone: return MStringArray();
    case kIntArray: {
        MStringArray out;
        for (unsigned int i = 0; i < fIntArray.length(); ++i)
            out.append(formatInt(fIntArray[i]));
        return out;
    }
    case kDoubleArray: {
        MStringArray out;
        for (unsigned int i = 0; i < fDoubleArray.length(); ++i)
            out.append(doubleText(fDoubleArray[i]));
        return out;
    }
    default: {
        MStringArray out;
        out.append(asString());
        return out;
    }
    }
}

MIntArray MelValue::asIntArray() const
{
    MIntArray out;
    switch (fType) {
    case kIntArray: return fIntArray;
    case kNone: return out;
    case kDoubleArray:
        for (unsigned int i = 0; i < fDoubleArray.length(); ++i)
            out.append(saturatingInt32(saturatingInt64(fDoubleArray[i])));
        return out;
    case kStringArray:
        for (unsigned int i = 0; i < fStringArray.length(); ++i)
            out.append(fStringArray[i].asInt());
        return out;
    default:
        out.append(saturatingInt32(asInt()));
        return out;
    }
}

MDoubleArray MelValue::asDoubleArray() const
{
    MDoubleArray out;
    switch (fType) {
    case kDoubleArray: return fDoubleArray;
    case kNone: return out;
    case kIntArray:
        for (unsigned int i = 0; i < fIntArray.length(); ++i)
            out.append(fIntArray[i]);
        return out;
    case kStringArray:
        for (unsigned int i = 0; i < fStringArray.length(); ++i)
            out.append(fStringArray[i].asDouble());
        return out;
    default:
        out.append(asDouble());
        return out;
    }
}

} // namespace host
