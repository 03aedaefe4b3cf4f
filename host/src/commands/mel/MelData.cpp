#include "commands/mel/MelData.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace host {

namespace {

double leadingNumber(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

int64_t leadingInt(const std::string& text)
{
    // "2.5" as an int is 2, as MEL truncates; "1e3" is 1000.
    return saturatingInt64(leadingNumber(text));
}

double length(const MelVector& v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

void appendNumber(std::string& out, double value)
{
    appendDouble(out, value);
}

void appendInt(std::string& out, int64_t value)
{
    char buffer[24];
    std::to_chars_result written = std::to_chars(buffer, buffer + sizeof(buffer), value);
    out.append(buffer, written.ptr);
}

std::string vectorText(const MelVector& v)
{
    std::string out;
    for (int k = 0; k < 3; ++k) {
        if (k)
            out += ' ';
        appendNumber(out, v[k]);
    }
    return out;
}

MelVector parseVector(const std::string& text)
{
    MelVector v{};
    const char* p = text.c_str();
    for (int k = 0; k < 3; ++k) {
        char* end = nullptr;
        v[k] = std::strtod(p, &end);
        if (end == p)
            break;
        p = end;
    }
    return v;
}

} // namespace

MelData MelData::ofInt(int64_t value)
{
    MelData d;
    d.kind = kInt;
    d.i = value;
    return d;
}

MelData MelData::ofFloat(double value)
{
    MelData d;
    d.kind = kFloat;
    d.f = value;
    return d;
}

MelData MelData::ofString(std::string value)
{
    MelData d;
    d.kind = kString;
    d.s = std::move(value);
    return d;
}

MelData MelData::ofVector(const MelVector& value)
{
    MelData d;
    d.kind = kVector;
    d.v = value;
    return d;
}

MelData MelData::empty(MelType type, bool array)
{
    MelData d;
    switch (type) {
    case MelType::kInt: d.kind = array ? kIntArray : kInt; break;
    case MelType::kFloat: d.kind = array ? kFloatArray : kFloat; break;
    case MelType::kString: d.kind = array ? kStringArray : kString; break;
    case MelType::kVector: d.kind = array ? kVectorArray : kVector; break;
    case MelType::kMatrix: d.kind = kMatrix; break;
    }
    return d;
}

size_t MelData::arraySize() const
{
    switch (kind) {
    case kIntArray: return ints.size();
    case kFloatArray: return floats.size();
    case kStringArray: return strings.size();
    case kVectorArray: return vectors.size();
    default: return 0;
    }
}

const char* MelData::typeName() const
{
    switch (kind) {
    case kNone: return "void";
    case kInt: return "int";
    case kFloat: return "float";
    case kString: return "string";
    case kVector: return "vector";
    case kMatrix: return "matrix";
    case kIntArray: return "int[]";
    case kFloatArray: return "float[]";
    case kStringArray: return "string[]";
    case kVectorArray: return "vector[]";
    }
    return "void";
}

const char* melTypeName(MelType type, bool array)
{
    switch (type) {
    case MelType::kInt: return array ? "int[]" : "int";
    case MelType::kFloat: return array ? "float[]" : "float";
    case MelType::kString: return array ? "string[]" : "string";
    case MelType::kVector: return array ? "vector[]" : "vector";
    case MelType::kMatrix: return "matrix";
    }
    return "void";
}

int64_t melToInt(const MelData& value)
{
    switch (value.kind) {
    case MelData::kInt: return value.i;
    case MelData::kFloat: return saturatingInt64(value.f);
    case MelData::kString: return leadingInt(value.s);
    case MelData::kVector: return saturatingInt64(length(value.v));
    default: return 0;
    }
}

double melToFloat(const MelData& value)
{
    switch (value.kind) {
    case MelData::kInt: return static_cast<double>(value.i);
    case MelData::kFloat: return value.f;
    case MelData::kString: return leadingNumber(value.s);
    case MelData::kVector: return length(value.v);
    default: return 0.0;
    }
}

std::string melToString(const MelData& value)
{
    switch (value.kind) {
    case MelData::kInt: {
        std::string out;
        appendInt(out, value.i);
        return out;
    }
    case MelData::kFloat: {
        std::string out;
        appendNumber(out, value.f);
        return out;
    }
    case MelData::kString: return value.s;
    case MelData::kVector: return vectorText(value.v);
    default: return melText(value);
    }
}

MelVector melToVector(const MelData& value)
{
    switch (value.kind) {
    case MelData::kVector: return value.v;
    case MelData::kString: return parseVector(value.s);
    case MelData::kFloatArray:
    case MelData::kIntArray: {
        MelVector v{};
        for (size_t k = 0; k < 3 && k < value.arraySize(); ++k)
            v[k] = value.kind == MelData::kFloatArray ? value.floats[k] : static_cast<double>(value.ints[k]);
        return v;
    }
    default: {
        const double n = melToFloat(value);
        return MelVector{n, n, n};
    }
    }
}

bool melTruth(const MelData& value)
{
    switch (value.kind) {
    case MelData::kInt: return value.i != 0;
    case MelData::kFloat: return value.f != 0.0;
    case MelData::kVector: return length(value.v) != 0.0;
    default: return melToFloat(value) != 0.0;
    }
}

bool melConvert(const MelData& value, MelType type, bool array, MelData& out)
{
    if (type == MelType::kMatrix) {
        if (value.kind != MelData::kMatrix)
            return false;
        out = value;
        return true;
    }
    if (!array) {
        // A float[] of up to three numbers reads as a vector (what xform -q returns).
        if (value.isArray() && !(type == MelType::kVector &&
                                 (value.kind == MelData::kFloatArray || value.kind == MelData::kIntArray)))
            return false;
        if (value.kind == MelData::kMatrix || value.kind == MelData::kNone)
            return false;
        switch (type) {
        case MelType::kInt: out = MelData::ofInt(melToInt(value)); break;
        case MelType::kFloat: out = MelData::ofFloat(melToFloat(value)); break;
        case MelType::kString: out = MelData::ofString(melToString(value)); break;
        case MelType::kVector: out = MelData::ofVector(melToVector(value)); break;
        default: return false;
        }
        return true;
    }
    if (!value.isArray())
        return false;
    MelData converted = MelData::empty(type, true);
    const size_t n = value.arraySize();
    auto element = [&value](size_t k) {
        switch (value.kind) {
        case MelData::kIntArray: return MelData::ofInt(value.ints[k]);
        case MelData::kFloatArray: return MelData::ofFloat(value.floats[k]);
        case MelData::kStringArray: return MelData::ofString(value.strings[k]);
        default: return MelData::ofVector(value.vectors[k]);
        }
    };
    if (value.kind == converted.kind) {
        out = value;
        return true;
    }
    for (size_t k = 0; k < n; ++k) {
        const MelData item = element(k);
        switch (type) {
        case MelType::kInt: converted.ints.push_back(melToInt(item)); break;
        case MelType::kFloat: converted.floats.push_back(melToFloat(item)); break;
        case MelType::kString: converted.strings.push_back(melToString(item)); break;
        default: converted.vectors.push_back(melToVector(item)); break;
        }
    }
    out = std::move(converted);
    return true;
}

std::string melText(const MelData& value)
{
    std::string out;
    switch (value.kind) {
    case MelData::kNone: return out;
    case MelData::kMatrix:
        out = "<<";
        for (int r = 0; r < value.rows; ++r) {
            if (r)
                out += "; ";
            for (int c = 0; c < value.columns; ++c) {
                if (c)
                    out += ", ";
                appendNumber(out, value.floats[static_cast<size_t>(r * value.columns + c)]);
            }
        }
        return out + ">>";
    case MelData::kIntArray:
    case MelData::kFloatArray:
    case MelData::kStringArray:
    case MelData::kVectorArray:
        for (size_t k = 0; k < value.arraySize(); ++k) {
            if (k)
                out += ' ';
            switch (value.kind) {
            case MelData::kIntArray: appendInt(out, value.ints[k]); break;
            case MelData::kFloatArray: appendNumber(out, value.floats[k]); break;
            case MelData::kStringArray: out += value.strings[k]; break;
            default: out += vectorText(value.vectors[k]); break;
            }
        }
        return out;
    default: return melToString(value);
    }
}

MelData fromMelValue(const MelValue& value)
{
    MelData d;
    switch (value.type()) {
    case MelValue::kNone: break;
    case MelValue::kInt: d = MelData::ofInt(value.asInt()); break;
    case MelValue::kDouble: d = MelData::ofFloat(value.asDouble()); break;
    case MelValue::kString: {
        const MString text = value.asString();
        d = MelData::ofString(std::string(text.asChar(), text.length()));
        break;
    }
    case MelValue::kIntArray:
        d.kind = MelData::kIntArray;
        for (unsigned int k = 0; k < value.intArray().length(); ++k)
            d.ints.push_back(value.intArray()[k]);
        break;
    case MelValue::kDoubleArray:
        d.kind = MelData::kFloatArray;
        for (unsigned int k = 0; k < value.doubleArray().length(); ++k)
            d.floats.push_back(value.doubleArray()[k]);
        break;
    case MelValue::kStringArray:
        d.kind = MelData::kStringArray;
        for (unsigned int k = 0; k < value.stringArray().length(); ++k) {
            const MString& text = value.stringArray()[k];
            d.strings.emplace_back(text.asChar(), text.length());
        }
        break;
    }
    return d;
}

MelValue toMelValue(const MelData& value)
{
    MelValue out;
    switch (value.kind) {
    case MelData::kNone: break;
    case MelData::kInt: out.setInt(value.i); break;
    case MelData::kFloat: out.setDouble(value.f); break;
    case MelData::kString: out.setString(MString(value.s.c_str(), static_cast<int>(value.s.size()))); break;
    case MelData::kIntArray: {
        MIntArray ints;
        ints.setLength(static_cast<unsigned int>(value.ints.size()));
        for (size_t k = 0; k < value.ints.size(); ++k)
            ints[static_cast<unsigned int>(k)] = saturatingInt32(value.ints[k]);
        out.setIntArray(ints);
        break;
    }
    case MelData::kStringArray: {
        MStringArray strings;
        strings.setLength(static_cast<unsigned int>(value.strings.size()));
        for (size_t k = 0; k < value.strings.size(); ++k)
            strings[static_cast<unsigned int>(k)] =
                MString(value.strings[k].c_str(), static_cast<int>(value.strings[k].size()));
        out.setStringArray(strings);
        break;
    }
    default: {
        // Vectors, matrices and vector arrays pass as their numbers.
        MDoubleArray numbers;
        if (value.kind == MelData::kVector) {
            for (double n : value.v)
                numbers.append(n);
        } else if (value.kind == MelData::kVectorArray) {
            for (const MelVector& v : value.vectors)
                for (double n : v)
                    numbers.append(n);
        } else {
            for (double n : value.floats)
                numbers.append(n);
        }
        out.setDoubleArray(numbers);
        break;
    }
    }
    return out;
}

} // namespace host
