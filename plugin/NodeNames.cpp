#include "plugin/NodeNames.h"

std::string nodeNameProblem(const std::string& name, bool numberSignAllowed)
{
    const size_t begin = !name.empty() && name.front() == ':' ? 1 : 0;
    const size_t end = numberSignAllowed && !name.empty() && name.back() == '#' ? name.size() - 1 : name.size();
    if (begin >= end)
        return "it is empty";
    bool segmentStart = true;
    for (size_t i = begin; i < end; ++i) {
        const char c = name[i];
        if (c == ':') {
            if (segmentStart)
                return "it has an empty namespace";
            segmentStart = true;
            continue;
        }
        const bool digit = c >= '0' && c <= '9';
        if (!digit && !(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z') && c != '_')
            return c == ' ' ? "it holds a space" : std::string("it holds the character '") + c + "'";
        if (segmentStart && digit)
            return i == begin ? "it starts with a digit" : "a name after ':' starts with a digit";
        segmentStart = false;
    }
    return segmentStart ? "it ends with ':'" : "";
}
