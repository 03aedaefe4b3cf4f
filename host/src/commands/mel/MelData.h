#pragma once
// What MEL variables and expressions hold while a script runs: the five MEL
// types and their arrays, with MEL's conversions between them.

#include "commands/mel/MelValue.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

// A declared MEL type.
enum class MelType : unsigned char { kInt, kFloat, kString, kVector, kMatrix };

typedef std::array<double, 3> MelVector;

struct MelData
{
    enum Kind : unsigned char {
        kNone, kInt, kFloat, kString, kVector, kMatrix,
        kIntArray, kFloatArray, kStringArray, kVectorArray
    };

    Kind kind = kNone;
    int64_t i = 0;
    double f = 0.0;
    MelVector v{};
    std::string s;
    std::vector<int64_t> ints;
    std::vector<double> floats;  // also a matrix's cells, row by row
    std::vector<std::string> strings;
    std::vector<MelVector> vectors;
    int rows = 0, columns = 0;   // matrix only

    static MelData ofInt(int64_t value);
    static MelData ofFloat(double value);
    static MelData ofString(std::string value);
    static MelData ofVector(const MelVector& value);
    // The empty value of a declared type ("", 0, <<0,0,0>>, an empty array).
    static MelData empty(MelType type, bool array);

    bool isArray() const { return kind >= kIntArray; }
    bool isNumber() const { return kind == kInt || kind == kFloat; }
    size_t arraySize() const;

    // "int", "float[]", ...: the words of MEL's type errors.
    const char* typeName() const;
};

const char* melTypeName(MelType type, bool array);

// Scalar conversions as MEL applies them: a vector gives its length as a
// number; a string its leading number; a number as a vector is <<n, n, n>>.
int64_t melToInt(const MelData& value);
double melToFloat(const MelData& value);
std::string melToString(const MelData& value);
MelVector melToVector(const MelData& value);
bool melTruth(const MelData& value);

// Converts to a declared type; false when MEL refuses (an array where a
// scalar is wanted or the other way round).
bool melConvert(const MelData& value, MelType type, bool array, MelData& out);

// Text as `print` and the result echo show it.
std::string melText(const MelData& value);

// To and from the values commands take and return.
MelData fromMelValue(const MelValue& value);
MelValue toMelValue(const MelData& value);

} // namespace host
