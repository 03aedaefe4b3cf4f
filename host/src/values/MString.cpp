#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "NumberFormat.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <ostream>

namespace
{

bool isContinuationByte(unsigned char c)
{
    return (c & 0xC0u) == 0x80u;
}

void appendUtf8(std::string& out, wchar_t wc)
{
    unsigned long c = static_cast<unsigned long>(wc);
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string fromWide(const wchar_t* text, size_t count)
{
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) appendUtf8(out, text[i]);
    return out;
}

// Decodes UTF-8 leniently: a malformed byte stands for itself.
std::wstring toWide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        unsigned long code = c & (0x3Fu >> extra);
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= text.size() || !isContinuationByte(static_cast<unsigned char>(text[i + k]))) {
                ok = false;
                break;
            }
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        if (ok) {
            out += static_cast<wchar_t>(code);
            i += static_cast<size_t>(extra) + 1;
        } else {
            out += static_cast<wchar_t>(c);
            ++i;
        }
    }
    return out;
}

// Byte offset of the code point with the given index, or npos.
size_t byteOffsetOfChar(const std::string& text, int charIndex)
{
    if (charIndex < 0) return std::string::npos;
    int seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (isContinuationByte(static_cast<unsigned char>(text[i]))) continue;
        if (seen == charIndex) return i;
        ++seen;
    }
    return seen == charIndex ? text.size() : std::string::npos;
}

int charIndexOfByte(const std::string& text, size_t byteOffset)
{
    int count = 0;
    for (size_t i = 0; i < byteOffset && i < text.size(); ++i)
        if (!isContinuationByte(static_cast<unsigned char>(text[i]))) ++count;
    return count;
}

bool parseLong(const std::string& text, long long& value)
{
    if (text.empty()) return false;
    size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    if (i == text.size()) return false;
    for (size_t k = i; k < text.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
    errno = 0;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return errno != ERANGE;
}

// Plain decimal numbers only: no hex, "inf" or "nan".
bool parseDouble(const std::string& text, double& value)
{
    if (text.empty()) return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.' && c != 'e' &&
            c != 'E')
            return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

} // namespace

MString::MString(const char* charString) : fText(charString ? charString : "") {}

MString::MString(const char* charString, int charLength)
{
    if (charString && charLength > 0) fText.assign(charString, static_cast<size_t>(charLength));
}

MString::MString(const wchar_t* wideString)
{
    if (wideString) fText = fromWide(wideString, std::wcslen(wideString));
}

MString::MString(const wchar_t* wideString, int wideLength)
{
    if (wideString && wideLength > 0) fText = fromWide(wideString, static_cast<size_t>(wideLength));
}

MString::MString(const MString& other) : fText(other.fText) {}

MString::MString(MString&& other) noexcept : fText(std::move(other.fText)) {}

MString::~MString() = default;

MString& MString::operator=(const MString& other)
{
    if (this != &other) fText = other.fText;
    return *this;
}

MString& MString::operator=(MString&& other) noexcept
{
    fText = std::move(other.fText);
    return *this;
}

MString& MString::operator=(const char* charString)
{
    fText = charString ? charString : "";
    return *this;
}

MString& MString::operator=(double value)
{
    fText = host::formatDouble(value);
    return *this;
}

MString& MString::operator+=(const MString& other)
{
    fText += other.fText;
    return *this;
}

MString& MString::operator+=(const char* other)
{
    if (other) fText += other;
    return *this;
}

MString& MString::operator+=(double value)
{
    fText += host::formatDouble(value);
    return *this;
}

MString& MString::operator+=(int value)
{
    fText += std::to_string(value);
    return *this;
}

MString& MString::operator+=(unsigned int value)
{
    fText += std::to_string(value);
    return *this;
}

MString& MString::operator+=(float value)
{
    fText += host::formatFloat(value);
    return *this;
}

bool MString::operator==(const char* other) const
{
    return fText == (other ? other : "");
}

MString operator+(const MString& a, const MString& b)
{
    MString result(a);
    result += b;
    return result;
}

MString operator+(const MString& a, const char* b)
{
    MString result(a);
    result += b;
    return result;
}

MString operator+(const char* a, const MString& b)
{
    MString result(a);
    result += b;
    return result;
}

MString operator+(const MString& a, double b)
{
    MString result(a);
    result += b;
    return result;
}

MString operator+(const MString& a, int b)
{
    MString result(a);
    result += b;
    return result;
}

const char* MString::asChar(int& length) const
{
    length = static_cast<int>(fText.size());
    return fText.c_str();
}

const char* MString::asUTF8(int& length) const
{
    return asChar(length);
}

const wchar_t* MString::asWChar() const
{
    fWide = toWide(fText);
    return fWide.c_str();
}

const wchar_t* MString::asWChar(int& length) const
{
    const wchar_t* result = asWChar();
    length = static_cast<int>(fWide.size());
    return result;
}

unsigned int MString::numChars() const
{
    return static_cast<unsigned int>(charIndexOfByte(fText, fText.size()));
}

void MString::clear()
{
    fText.clear();
    fWide.clear();
}

int MString::index(char c) const
{
    size_t at = fText.find(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int MString::rindex(char c) const
{
    size_t at = fText.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int MString::indexW(const MString& s) const
{
    size_t at = fText.find(s.fText);
    return at == std::string::npos ? -1 : charIndexOfByte(fText, at);
}

int MString::indexW(char c) const
{
    return indexW(MString(&c, 1));
}

int MString::rindexW(const MString& s) const
{
    size_t at = fText.rfind(s.fText);
    return at == std::string::npos ? -1 : charIndexOfByte(fText, at);
}

int MString::rindexW(char c) const
{
    return rindexW(MString(&c, 1));
}

MStatus MString::split(char delimiter, MStringArray& output) const
{
    // Like strtok: runs of delimiters separate tokens and empty tokens are dropped.
    output.clear();
    size_t start = 0;
    while (start <= fText.size()) {
        size_t end = fText.find(delimiter, start);
        if (end == std::string::npos) end = fText.size();
        if (end > start) output.append(MString(fText.c_str() + start, static_cast<int>(end - start)));
        start = end + 1;
    }
    return MStatus::kSuccess;
}

MString MString::substring(int start, int end) const
{
    // Inclusive end; the range is clipped to the string.
    if (start < 0) start = 0;
    int last = static_cast<int>(fText.size()) - 1;
    if (end > last) end = last;
    if (end < start) return MString();
    return MString(fText.c_str() + start, end - start + 1);
}

MString MString::substringW(int start, int end) const
{
    if (start < 0) start = 0;
    int last = static_cast<int>(numChars()) - 1;
    if (end > last) end = last;
    if (end < start) return MString();
    size_t from = byteOffsetOfChar(fText, start);
    size_t to = byteOffsetOfChar(fText, end + 1);
    return MString(fText.c_str() + from, static_cast<int>(to - from));
}

MString& MString::toUpperCase()
{
    for (char& c : fText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

MString& MString::toLowerCase()
{
    for (char& c : fText) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

bool MString::isShort() const
{
    long long v = 0;
    return parseLong(fText, v) && v >= SHRT_MIN && v <= SHRT_MAX;
}

bool MString::isInt() const
{
    long long v = 0;
    return parseLong(fText, v) && v >= INT_MIN && v <= INT_MAX;
}

bool MString::isUnsigned() const
{
    long long v = 0;
    return !fText.empty() && fText[0] != '-' && parseLong(fText, v) && v >= 0 && v <= static_cast<long long>(UINT_MAX);
}

bool MString::isFloat() const
{
    double v = 0.0;
    return parseDouble(fText, v);
}

bool MString::isDouble() const
{
    double v = 0.0;
    return parseDouble(fText, v);
}

short MString::asShort() const
{
    return isShort() ? static_cast<short>(std::strtol(fText.c_str(), nullptr, 10)) : 0;
}

int MString::asInt() const
{
    return isInt() ? static_cast<int>(std::strtol(fText.c_str(), nullptr, 10)) : 0;
}

unsigned int MString::asUnsigned() const
{
    return isUnsigned() ? static_cast<unsigned int>(std::strtoul(fText.c_str(), nullptr, 10)) : 0u;
}

float MString::asFloat() const
{
    return static_cast<float>(asDouble());
}

double MString::asDouble() const
{
    double v = 0.0;
    return parseDouble(fText, v) ? v : 0.0;
}

MStatus MString::set(const char* charString)
{
    *this = charString;
    return MStatus::kSuccess;
}

MStatus MString::set(const char* charString, int charLength)
{
    *this = MString(charString, charLength);
    return MStatus::kSuccess;
}

MStatus MString::set(double value)
{
    *this = value;
    return MStatus::kSuccess;
}

MStatus MString::set(double value, int precision)
{
    if (precision < 0) precision = 0;
    if (precision > 17) precision = 17;
    char buffer[512];
    std::snprintf(buffer, sizeof(buffer), "%.*f", precision, value);
    fText = buffer;
    return MStatus::kSuccess;
}

MStatus MString::substitute(const MString& original, const MString& replacement)
{
    if (original.fText.empty()) return MStatus::kInvalidParameter;
    std::string result;
    size_t start = 0;
    for (;;) {
        size_t at = fText.find(original.fText, start);
        if (at == std::string::npos) break;
        result.append(fText, start, at - start);
        result += replacement.fText;
        start = at + original.fText.size();
    }
    result.append(fText, start, std::string::npos);
    fText.swap(result);
    return MStatus::kSuccess;
}

MStatus MString::substituteFirst(const MString& original, const MString& replacement)
{
    if (original.fText.empty()) return MStatus::kInvalidParameter;
    size_t at = fText.find(original.fText);
    if (at != std::string::npos) fText.replace(at, original.fText.size(), replacement.fText);
    return MStatus::kSuccess;
}

MStatus MString::format(const MString& fmt, const MString& arg1, const MString& arg2, const MString& arg3,
                        const MString& arg4, const MString& arg5, const MString& arg6, const MString& arg7,
                        const MString& arg8, const MString& arg9, const MString& arg10)
{
    // "^1s" .. "^10s" stand for the arguments; anything else is copied as it stands.
    const MString* args[10] = {&arg1, &arg2, &arg3, &arg4, &arg5, &arg6, &arg7, &arg8, &arg9, &arg10};
    const std::string& f = fmt.fText;
    std::string result;
    size_t i = 0;
    while (i < f.size()) {
        if (f[i] == '^' && i + 2 < f.size() && std::isdigit(static_cast<unsigned char>(f[i + 1]))) {
            size_t k = i + 1;
            int n = 0;
            while (k < f.size() && std::isdigit(static_cast<unsigned char>(f[k])) && n <= 10) {
                n = n * 10 + (f[k] - '0');
                ++k;
            }
            if (k < f.size() && f[k] == 's' && n >= 1 && n <= 10) {
                result += args[n - 1]->fText;
                i = k + 1;
                continue;
            }
        }
        result += f[i++];
    }
    fText.swap(result);
    return MStatus::kSuccess;
}

std::ostream& operator<<(std::ostream& out, const MString& s)
{
    return out << s.fText;
}
