// The procedures every MEL script can call without defining them: strings,
// arrays, math, eval, and the messages scripts raise themselves.

#include "commands/MessageOutput.h"
#include "commands/mel/MelEvaluator.h"

#include <maya/MGlobal.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <regex>
#include <unordered_map>
#include <unordered_set>

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;

// libstdc++ matches regular expressions recursively: long subjects could
// exhaust the stack, so they are refused.
constexpr size_t kMaxRegexSubject = 20000;
constexpr size_t kMaxRegexPattern = 1000;

std::string stringArg(const MelCall& call, size_t k)
{
    return melToString(call.arg(k));
}

MelData boolean(bool value)
{
    return MelData::ofInt(value ? 1 : 0);
}

const std::vector<std::string>& stringArrayArg(const MelCall& call, size_t k, std::vector<std::string>& scratch)
{
    const MelData& value = call.arg(k);
    if (value.kind == MelData::kStringArray)
        return value.strings;
    if (!value.isArray())
        call.fail(call.name() + ": argument " + std::to_string(k + 1) + " must be an array.");
    MelData converted;
    melConvert(value, MelType::kString, true, converted);
    scratch = std::move(converted.strings);
    return scratch;
}

// The variable an output argument names; it must be an array variable.
MelVariable& outputArray(const MelCall& call, size_t k)
{
    MelVariable* variable = call.variables[k];
    if (!variable || !variable->array)
        call.fail(call.name() + ": argument " + std::to_string(k + 1) + " must be an array variable.");
    return *variable;
}

// MEL's regular expressions know . * + ^ $ \ [...] and (...) only: the other
// characters ECMAScript gives a meaning (? | { }) match themselves, and a
// backslash before a letter or digit just makes it literal.
std::string ecmaScriptPattern(const std::string& pattern)
{
    std::string out;
    out.reserve(pattern.size() + 8);
    bool inBrackets = false;
    for (size_t k = 0; k < pattern.size(); ++k) {
        const char c = pattern[k];
        if (c == '\\' && k + 1 < pattern.size()) {
            const char next = pattern[++k];
            if (std::isalnum(static_cast<unsigned char>(next)))
                out += next;
            else
                out.append(1, '\\').append(1, next);
            continue;
        }
        if (inBrackets) {
            // "[]a]" and "[^]a]": a ']' first in the set is one of its characters.
            const bool first = out.back() == '[' || (out.back() == '^' && out[out.size() - 2] == '[');
            if (c == ']' && !first)
                inBrackets = false;
            else if (c == ']' || c == '[')
                out += '\\';
            out += c;
            continue;
        }
        if (c == '[')
            inBrackets = true;
        else if (c == '?' || c == '|' || c == '{' || c == '}')
            out += '\\';
        out += c;
    }
    return out;
}

std::regex melRegex(const MelCall& call, const std::string& pattern)
{
    if (pattern.size() > kMaxRegexPattern)
        call.fail(call.name() + ": the regular expression is too long.");
    try {
        return std::regex(ecmaScriptPattern(pattern), std::regex::ECMAScript);
    } catch (const std::regex_error&) {
        call.fail(call.name() + ": invalid regular expression \"" + pattern + "\".");
    }
}

void checkSubject(const MelCall& call, const std::string& subject)
{
    if (subject.size() > kMaxRegexSubject)
        call.fail(call.name() + ": the string is too long for a regular expression.");
}

// Glob matching as gmatch documents it: * ? [abc] [a-z] [!a] and \ escapes.
bool globMatch(const char* text, const char* pattern)
{
    const char* starText = nullptr;
    const char* starPattern = nullptr;
    while (*text) {
        bool advanced = false;
        if (*pattern == '*') {
            starPattern = ++pattern;
            starText = text;
            continue;
        }
        if (*pattern == '?') {
            ++pattern;
            ++text;
            advanced = true;
        } else if (*pattern == '[') {
            const char* p = pattern + 1;
            const bool negate = *p == '!' || *p == '^';
            if (negate)
                ++p;
            bool matched = false;
            bool closed = false;
            for (bool first = true; *p; first = false) {
                if (*p == ']' && !first) {
                    closed = true;
                    break;
                }
                if (p[1] == '-' && p[2] && p[2] != ']') {
                    matched |= static_cast<unsigned char>(*text) >= static_cast<unsigned char>(p[0]) &&
                               static_cast<unsigned char>(*text) <= static_cast<unsigned char>(p[2]);
                    p += 3;
                } else {
                    matched |= *text == *p;
                    ++p;
                }
            }
            if (closed && matched != negate) {
                pattern = p + 1;
                ++text;
                advanced = true;
            } else if (!closed && *text == '[') {
                ++pattern;
                ++text;
                advanced = true;
            }
        } else {
            const char* literal = pattern;
            if (*literal == '\\' && literal[1])
                ++literal;
            if (*literal && *literal == *text) {
                pattern = literal + 1;
                ++text;
                advanced = true;
            }
        }
        if (advanced)
            continue;
        if (!starPattern)
            return false;
        pattern = starPattern;
        text = ++starText;
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

std::string changeCase(std::string text, bool upper)
{
    for (char& c : text)
        c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                    : std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

double numberArg(const MelCall& call, size_t k)
{
    const MelData& value = call.arg(k);
    if (value.isArray() || value.kind == MelData::kMatrix || value.kind == MelData::kNone)
        call.fail(call.name() + ": argument " + std::to_string(k + 1) + " must be a number, not a " +
                  value.typeName() + ".");
    return melToFloat(value);
}

MelData mathOf(MelCall& call, double (*function)(double))
{
    call.expectCount(1, 1);
    return MelData::ofFloat(function(numberArg(call, 0)));
}

// --- The procedures ---------------------------------------------------------

MelData melSize(MelCall& call)
{
    call.expectCount(1, 1);
    const MelData& value = call.arg(0);
    if (value.isArray())
        return MelData::ofInt(static_cast<int64_t>(value.arraySize()));
    if (value.kind == MelData::kString)
        return MelData::ofInt(static_cast<int64_t>(value.s.size()));
    if (value.isNumber())
        return MelData::ofInt(static_cast<int64_t>(melToString(value).size()));
    call.fail(std::string("size: argument must be a string or an array, not a ") + value.typeName() + ".");
}

MelData melClear(MelCall& call)
{
    call.expectCount(1, 1);
    MelVariable& variable = outputArray(call, 0);
    variable.value = MelData::empty(variable.type, true);
    return MelData();
}

MelData melPrint(MelCall& call)
{
    call.expectCount(1, 1000000);
    std::string text;
    for (size_t k = 0; k < call.count(); ++k) {
        const MelData& value = call.arg(k);
        if (value.isArray()) {
            // Arrays print one element per line.
            MelData strings;
            melConvert(value, MelType::kString, true, strings);
            for (const std::string& item : strings.strings)
                text += item + "\n";
        } else {
            text += melToString(value);
            if (call.count() > 1)
                text += "\n";
        }
    }
    writeMessage(MessageKind::kPrint, MString(text.c_str(), static_cast<int>(text.size())));
    return MelData();
}

MelData melTokenize(MelCall& call)
{
    call.expectCount(2, 3);
    const std::string text = stringArg(call, 0);
    const std::string separators = call.count() == 3 ? stringArg(call, 1) : std::string(" \t\n\r");
    MelVariable& output = outputArray(call, call.count() - 1);
    MelData tokens;
    tokens.kind = MelData::kStringArray;
    size_t start = 0;
    while (start < text.size()) {
        start = text.find_first_not_of(separators, start);
        if (start == std::string::npos)
            break;
        size_t end = text.find_first_of(separators, start);
        if (end == std::string::npos)
            end = text.size();
        tokens.strings.push_back(text.substr(start, end - start));
        start = end;
    }
    const int64_t count = static_cast<int64_t>(tokens.strings.size());
    if (!melConvert(tokens, output.type, true, output.value))
        call.fail("tokenize: the last argument must be a string array.");
    return MelData::ofInt(count);
}

bool search(const MelCall& call, const std::string& subject, const std::regex& pattern, std::smatch& found)
{
    try {
        return std::regex_search(subject, found, pattern);
    } catch (const std::regex_error&) {
        call.fail(call.name() + ": the regular expression is too complex for the string.");
    }
}

MelData melSubstitute(MelCall& call)
{
    call.expectCount(3, 3);
    const std::string subject = stringArg(call, 1);
    checkSubject(call, subject);
    const std::regex pattern = melRegex(call, stringArg(call, 0));
    std::smatch found;
    if (!search(call, subject, pattern, found))
        return MelData::ofString(subject);
    // The replacement is literal text.
    return MelData::ofString(found.prefix().str() + stringArg(call, 2) + found.suffix().str());
}

MelData melSubstituteAllString(MelCall& call)
{
    call.expectCount(3, 3);
    std::string text = stringArg(call, 0);
    const std::string search = stringArg(call, 1);
    const std::string replacement = stringArg(call, 2);
    if (search.empty())
        return MelData::ofString(text);
    std::string out;
    size_t start = 0;
    for (size_t found; (found = text.find(search, start)) != std::string::npos; start = found + search.size())
        out.append(text, start, found - start).append(replacement);
    out.append(text, start, std::string::npos);
    return MelData::ofString(out);
}

MelData melMatch(MelCall& call)
{
    call.expectCount(2, 2);
    const std::string subject = stringArg(call, 1);
    checkSubject(call, subject);
    const std::regex pattern = melRegex(call, stringArg(call, 0));
    std::smatch found;
    if (!search(call, subject, pattern, found))
        return MelData::ofString(std::string());
    return MelData::ofString(found.str());
}

MelData melGmatch(MelCall& call)
{
    call.expectCount(2, 2);
    return boolean(globMatch(stringArg(call, 0).c_str(), stringArg(call, 1).c_str()));
}

MelData melStrcmp(MelCall& call)
{
    call.expectCount(2, 2);
    const int order = stringArg(call, 0).compare(stringArg(call, 1));
    return MelData::ofInt(order < 0 ? -1 : order > 0 ? 1 : 0);
}

MelData melStartsWith(MelCall& call)
{
    call.expectCount(2, 2);
    const std::string text = stringArg(call, 0), prefix = stringArg(call, 1);
    return boolean(text.compare(0, prefix.size(), prefix) == 0 && text.size() >= prefix.size());
}

MelData melEndsWith(MelCall& call)
{
    call.expectCount(2, 2);
    const std::string text = stringArg(call, 0), suffix = stringArg(call, 1);
    return boolean(text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0);
}

MelData melSubstring(MelCall& call)
{
    call.expectCount(3, 3);
    const std::string text = stringArg(call, 0);
    // Positions count from 1 and include both ends; out-of-range ends are clamped.
    int64_t first = melToInt(call.arg(1));
    int64_t last = melToInt(call.arg(2));
    first = std::max<int64_t>(first, 1);
    last = std::min<int64_t>(last, static_cast<int64_t>(text.size()));
    if (first > last)
        return MelData::ofString(std::string());
    return MelData::ofString(text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1)));
}

MelData melToupper(MelCall& call)
{
    call.expectCount(1, 1);
    return MelData::ofString(changeCase(stringArg(call, 0), true));
}

MelData melTolower(MelCall& call)
{
    call.expectCount(1, 1);
    return MelData::ofString(changeCase(stringArg(call, 0), false));
}

MelData melStrip(MelCall& call)
{
    call.expectCount(1, 1);
    const std::string text = stringArg(call, 0);
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return MelData::ofString(text.substr(begin, end - begin));
}

MelData melSort(MelCall& call)
{
    call.expectCount(1, 1);
    MelData sorted = call.arg(0);
    switch (sorted.kind) {
    case MelData::kIntArray: std::sort(sorted.ints.begin(), sorted.ints.end()); break;
    case MelData::kFloatArray: std::sort(sorted.floats.begin(), sorted.floats.end(), [](double a, double b) { return a < b; }); break;
    case MelData::kStringArray: std::sort(sorted.strings.begin(), sorted.strings.end()); break;
    default: call.fail(std::string("sort: argument must be an int, float or string array, not a ") + sorted.typeName() + ".");
    }
    return sorted;
}

MelData melStringArrayContains(MelCall& call)
{
    call.expectCount(2, 2);
    const std::string item = stringArg(call, 0);
    std::vector<std::string> scratch;
    const std::vector<std::string>& list = stringArrayArg(call, 1, scratch);
    return boolean(std::find(list.begin(), list.end(), item) != list.end());
}

MelData melStringArrayRemoveDuplicates(MelCall& call)
{
    call.expectCount(1, 1);
    std::vector<std::string> scratch;
    const std::vector<std::string>& list = stringArrayArg(call, 0, scratch);
    MelData out;
    out.kind = MelData::kStringArray;
    std::unordered_set<std::string> seen;
    for (const std::string& item : list)
        if (seen.insert(item).second)
            out.strings.push_back(item);
    return out;
}

// stringArrayToString({"a", "b"}, ", ") gives "a, b".
MelData melStringArrayToString(MelCall& call)
{
    call.expectCount(2, 2);
    std::vector<std::string> scratch;
    const std::vector<std::string>& list = stringArrayArg(call, 0, scratch);
    const std::string separator = stringArg(call, 1);
    std::string joined;
    for (size_t i = 0; i < list.size(); ++i)
        joined += (i ? separator : std::string()) + list[i];
    return MelData::ofString(joined);
}

MelData melAbs(MelCall& call)
{
    call.expectCount(1, 1);
    const MelData& value = call.arg(0);
    if (value.kind == MelData::kInt)
        return value.i == INT64_MIN ? MelData::ofFloat(-static_cast<double>(value.i)) : MelData::ofInt(std::llabs(value.i));
    if (value.kind == MelData::kVector)
        return MelData::ofVector(MelVector{std::fabs(value.v[0]), std::fabs(value.v[1]), std::fabs(value.v[2])});
    return MelData::ofFloat(std::fabs(numberArg(call, 0)));
}

MelData minOrMax(MelCall& call, bool wantMax)
{
    call.expectCount(2, 2);
    const MelData& a = call.arg(0);
    const MelData& b = call.arg(1);
    if (a.kind == MelData::kInt && b.kind == MelData::kInt)
        return MelData::ofInt(wantMax ? std::max(a.i, b.i) : std::min(a.i, b.i));
    if (a.kind == MelData::kVector || b.kind == MelData::kVector) {
        const MelVector x = melToVector(a), y = melToVector(b);
        MelVector out{};
        for (int k = 0; k < 3; ++k)
            out[k] = wantMax ? std::max(x[k], y[k]) : std::min(x[k], y[k]);
        return MelData::ofVector(out);
    }
    const double x = numberArg(call, 0), y = numberArg(call, 1);
    return MelData::ofFloat(wantMax ? std::max(x, y) : std::min(x, y));
}

MelData melMin(MelCall& call) { return minOrMax(call, false); }
MelData melMax(MelCall& call) { return minOrMax(call, true); }

MelData melClamp(MelCall& call)
{
    call.expectCount(3, 3);
    const double low = numberArg(call, 0), high = numberArg(call, 1), value = numberArg(call, 2);
    return MelData::ofFloat(value < low ? low : value > high ? high : value);
}

MelData melPow(MelCall& call)
{
    call.expectCount(2, 2);
    return MelData::ofFloat(std::pow(numberArg(call, 0), numberArg(call, 1)));
}

double degreesToRadians(double degrees) { return degrees * kPi / 180.0; }
double radiansToDegrees(double radians) { return radians * 180.0 / kPi; }

MelData melFloor(MelCall& call) { return mathOf(call, [](double x) { return std::floor(x); }); }
MelData melCeil(MelCall& call) { return mathOf(call, [](double x) { return std::ceil(x); }); }
MelData melSqrt(MelCall& call) { return mathOf(call, [](double x) { return std::sqrt(x); }); }
MelData melTrunc(MelCall& call) { return mathOf(call, [](double x) { return std::trunc(x); }); }
MelData melSin(MelCall& call) { return mathOf(call, [](double x) { return std::sin(x); }); }
MelData melCos(MelCall& call) { return mathOf(call, [](double x) { return std::cos(x); }); }
MelData melTan(MelCall& call) { return mathOf(call, [](double x) { return std::tan(x); }); }
MelData melDegToRad(MelCall& call) { return mathOf(call, degreesToRadians); }
MelData melRadToDeg(MelCall& call) { return mathOf(call, radiansToDegrees); }

MelData melExists(MelCall& call)
{
    call.expectCount(1, 1);
    return boolean(call.evaluator.procedureExists(stringArg(call, 0)));
}

MelData melWhatIs(MelCall& call)
{
    call.expectCount(1, 1);
    return MelData::ofString(call.evaluator.whatIs(stringArg(call, 0)));
}

// What `error` and `warning` print: the script's file and line when it has a file, unless
// -noContext (-n) comes before the message.
std::string located(const MelCall& call)
{
    call.expectCount(0, 2);
    const bool noContext = call.count() == 2;
    if (noContext && stringArg(call, 0) != "-noContext" && stringArg(call, 0) != "-n")
        call.fail("Invalid flag for " + call.name() + ": " + stringArg(call, 0));
    const std::string message = call.count() ? stringArg(call, call.count() - 1) : std::string();
    const std::string where = call.evaluator.where(call.node.line);
    if (noContext || where.compare(0, 5, "Line ") == 0)
        return message;
    return where + ": " + message;
}

MelData melError(MelCall& call)
{
    const std::string text = located(call);
    MGlobal::displayError(MString(text.c_str(), static_cast<int>(text.size())));
    throw MelFailure{MS::kFailure};
}

MelData melWarning(MelCall& call)
{
    const std::string text = located(call);
    MGlobal::displayWarning(MString(text.c_str(), static_cast<int>(text.size())));
    return MelData();
}

MelData melEval(MelCall& call)
{
    call.expectCount(1, 1000000);
    std::string text;
    for (size_t k = 0; k < call.count(); ++k) {
        if (k)
            text += ' ';
        text += melText(call.arg(k));
    }
    return call.evaluator.evalText(text, call.node.line);
}

} // namespace

MelBuiltin findMelBuiltin(const std::string& name)
{
    static const std::unordered_map<std::string, MelBuiltin> kBuiltins = {
        {"size", melSize},
        {"clear", melClear},
        {"print", melPrint},
        {"tokenize", melTokenize},
        {"substitute", melSubstitute},
        {"substituteAllString", melSubstituteAllString},
        {"match", melMatch},
        {"gmatch", melGmatch},
        {"strcmp", melStrcmp},
        {"startsWith", melStartsWith},
        {"endsWith", melEndsWith},
        {"substring", melSubstring},
        {"toupper", melToupper},
        {"tolower", melTolower},
        {"strip", melStrip},
        {"sort", melSort},
        {"stringArrayContains", melStringArrayContains},
        {"stringArrayRemoveDuplicates", melStringArrayRemoveDuplicates},
        {"stringArrayToString", melStringArrayToString},
        {"abs", melAbs},
        {"floor", melFloor},
        {"ceil", melCeil},
        {"sqrt", melSqrt},
        {"pow", melPow},
        {"min", melMin},
        {"max", melMax},
        {"clamp", melClamp},
        {"sin", melSin},
        {"cos", melCos},
        {"tan", melTan},
        {"deg_to_rad", melDegToRad},
        {"rad_to_deg", melRadToDeg},
        {"trunc", melTrunc},
        {"exists", melExists},
        {"whatIs", melWhatIs},
        {"error", melError},
        {"warning", melWarning},
        {"eval", melEval},
    };
    auto found = kBuiltins.find(name);
    return found == kBuiltins.end() ? nullptr : found->second;
}

} // namespace host
