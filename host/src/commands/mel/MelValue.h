#pragma once
// A MEL value: what a command returns and what a variable holds.

#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cstdint>

namespace host {

class MelValue
{
public:
    enum Type { kNone, kInt, kDouble, kString, kIntArray, kDoubleArray, kStringArray };

    MelValue() = default;
    explicit MelValue(int64_t value) : fType(kInt), fInt(value) {}
    explicit MelValue(double value) : fType(kDouble), fDouble(value) {}
    explicit MelValue(const MString& value) : fType(kString), fString(value) {}

    Type type() const { return fType; }
    bool isNone() const { return fType == kNone; }
    bool isArray() const { return fType == kIntArray || fType == kDoubleArray || fType == kStringArray; }
    bool isNumber() const { return fType == kInt || fType == kDouble; }

    void clear();
    void setInt(int64_t value);
    void setDouble(double value);
    void setString(const MString& value);
    void setIntArray(const MIntArray& value);
    void setDoubleArray(const MDoubleArray& value);
    void setStringArray(const MStringArray& value);

    // Appending turns the value into an array, widening int to double and
    // numbers to strings when the kinds differ.
    void appendInt(int64_t value);
    void appendDouble(double value);
    void appendString(const MString& value);

    // Scalars (an array gives its first element, or zero / empty).
    int64_t asInt() const;
    double asDouble() const;
    // The value as MEL prints it: array elements space-separated.
    MString asString() const;

    unsigned int length() const;  // 1 for scalars, 0 for kNone
    const MIntArray& intArray() const { return fIntArray; }
    const MDoubleArray& doubleArray() const { return fDoubleArray; }
    const MStringArray& stringArray() const { return fStringArray; }
    // Any value as strings, one per element.
    MStringArray asStringArray() const;
    MIntArray asIntArray() const;
    MDoubleArray asDoubleArray() const;

private:
    Type fType = kNone;
    int64_t fInt = 0;
    double fDouble = 0.0;
    MString fString;
    MIntArray fIntArray;
    MDoubleArray fDoubleArray;
    MStringArray fStringArray;
};

// Saturating conversions: out-of-range values must not be undefined behaviour
// (NaN gives 0).
int64_t saturatingInt64(double value);
int saturatingInt32(int64_t value);

// Shortest text that reads back as exactly the same double ("0.1", "3",
// "1e+300"), as MEL prints doubles.
MString doubleText(double value);
// Appends doubleText(value) to `out` without a temporary MString.
void appendDouble(std::string& out, double value);

} // namespace host
