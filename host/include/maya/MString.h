#ifndef MAYA_MSTRING_H
#define MAYA_MSTRING_H

#include <maya/MStatus.h>
#include <iosfwd>
#include <string>

class MString
{
public:
    MString() = default;
    MString(const char* charString);
    MString(const char* charString, int charLength);
    MString(const wchar_t* wideString);
    MString(const wchar_t* wideString, int wideLength);
    MString(const MString& other);
    MString(MString&& other) noexcept;
    ~MString();

    MString& operator=(const MString& other);
    MString& operator=(MString&& other) noexcept;
    MString& operator=(const char* charString);
    MString& operator=(double value);

    MString& operator+=(const MString& other);
    MString& operator+=(const char* other);
    MString& operator+=(double value);
    MString& operator+=(int value);
    MString& operator+=(unsigned int value);
    MString& operator+=(float value);

    bool operator==(const MString& other) const { return fText == other.fText; }
    bool operator==(const char* other) const;
    bool operator!=(const MString& other) const { return fText != other.fText; }
    bool operator!=(const char* other) const { return !(*this == other); }

    friend MString operator+(const MString& a, const MString& b);
    friend MString operator+(const MString& a, const char* b);
    friend MString operator+(const char* a, const MString& b);
    friend MString operator+(const MString& a, double b);
    friend MString operator+(const MString& a, int b);

    const char* asChar() const { return fText.c_str(); }
    const char* asChar(int& length) const;
    const char* asUTF8() const { return fText.c_str(); }
    const char* asUTF8(int& length) const;
    const wchar_t* asWChar() const;
    const wchar_t* asWChar(int& length) const;

    unsigned int length() const { return static_cast<unsigned int>(fText.size()); }
    unsigned int numChars() const;
    void clear();

    int index(char c) const;
    int rindex(char c) const;
    int indexW(const MString& s) const;
    int indexW(char c) const;
    int rindexW(const MString& s) const;
    int rindexW(char c) const;

    MStatus split(char delimiter, MStringArray& output) const;
    MString substring(int start, int end) const;
    MString substringW(int start, int end) const;
    MString& toUpperCase();
    MString& toLowerCase();

    bool isShort() const;
    bool isInt() const;
    bool isUnsigned() const;
    bool isFloat() const;
    bool isDouble() const;
    short asShort() const;
    int asInt() const;
    unsigned int asUnsigned() const;
    float asFloat() const;
    double asDouble() const;

    MStatus set(const char* charString);
    MStatus set(const char* charString, int charLength);
    MStatus set(double value);
    MStatus set(double value, int precision);

    MStatus substitute(const MString& original, const MString& replacement);
    MStatus substituteFirst(const MString& original, const MString& replacement);

    MStatus format(const MString& fmt,
                   const MString& arg1 = MString(), const MString& arg2 = MString(),
                   const MString& arg3 = MString(), const MString& arg4 = MString(),
                   const MString& arg5 = MString(), const MString& arg6 = MString(),
                   const MString& arg7 = MString(), const MString& arg8 = MString(),
                   const MString& arg9 = MString(), const MString& arg10 = MString());

    friend std::ostream& operator<<(std::ostream& out, const MString& s);

private:
    std::string fText;
    mutable std::wstring fWide;  // filled on demand by asWChar()
};

#endif
