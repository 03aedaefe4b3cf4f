#include "commands/mel/MelLexer.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace host {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Characters that end a bare word.
bool endsWord(char c)
{
    return isSpace(c) || std::strchr(";\"`(){},", c) != nullptr;
}

bool isIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Whole-word number parse: "12", "-0.5", "1e-3", "0x1F"; false for "1abc".
bool parseNumber(const std::string& text, MelToken& token)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const bool looksFloat = text.find_first_of(".eE") != std::string::npos &&
                            text.find("0x") == std::string::npos && text.find("0X") == std::string::npos;
    if (!looksFloat) {
        errno = 0;
        long long value = std::strtoll(begin, &end, 0);
        if (*end == '\0' && end != begin && errno != ERANGE) {
            // strtoll base 0 reads "010" as octal; MEL reads it as ten.
            if (text.size() > 1 && (text[0] == '0' || (text[0] == '-' && text[1] == '0')) &&
                text.find_first_of("xX") == std::string::npos) {
                value = std::strtoll(begin, &end, 10);
            }
            token.kind = MelToken::kInt;
            token.intValue = value;
            return true;
        }
    }
    double value = std::strtod(begin, &end);
    if (*end == '\0' && end != begin) {
        token.kind = MelToken::kDouble;
        token.doubleValue = value;
        return true;
    }
    return false;
}

} // namespace

MelLexer::MelLexer(const char* text, size_t length, int firstLine)
    : fPos(text), fEnd(text + length), fLine(firstLine)
{
}

const MelToken& MelLexer::peek()
{
    if (!fHasPeeked) {
        fPeeked = MelToken();
        lex(fPeeked);
        fHasPeeked = true;
    }
    return fPeeked;
}

MelToken MelLexer::next()
{
    peek();
    fHasPeeked = false;
    return std::move(fPeeked);
}

// Returns false (with an error token) for an unterminated block comment.
bool MelLexer::skipSpaceAndComments(MelToken& token)
{
    while (fPos < fEnd) {
        const char c = *fPos;
        if (isSpace(c)) {
            if (c == '\n')
                ++fLine;
            ++fPos;
            token.spaceBefore = true;
        } else if (c == '/' && fPos + 1 < fEnd && fPos[1] == '/') {
            while (fPos < fEnd && *fPos != '\n')
                ++fPos;
            token.spaceBefore = true;
        } else if (c == '/' && fPos + 1 < fEnd && fPos[1] == '*') {
            const int startLine = fLine;
            fPos += 2;
            while (fPos < fEnd && !(*fPos == '*' && fPos + 1 < fEnd && fPos[1] == '/')) {
                if (*fPos == '\n')
                    ++fLine;
                ++fPos;
            }
            if (fPos >= fEnd) {
                token.kind = MelToken::kError;
                token.line = startLine;
                token.text = "Unterminated comment.";
                return false;
            }
            fPos += 2;
            token.spaceBefore = true;
        } else {
            break;
        }
    }
    return true;
}

void MelLexer::lex(MelToken& token)
{
    if (!skipSpaceAndComments(token))
        return;
    token.line = fLine;
    if (fPos >= fEnd) {
        token.kind = MelToken::kEnd;
        return;
    }
    const char c = *fPos;
    switch (c) {
    case '"': lexString(token); return;
    case '`': lexBackquote(token); return;
    case '$': lexVariable(token); return;
    case ';': token.kind = MelToken::kSemicolon; ++fPos; return;
    case '(': token.kind = MelToken::kLParen; ++fPos; return;
    case ')': token.kind = MelToken::kRParen; ++fPos; return;
    case '{': token.kind = MelToken::kLBrace; ++fPos; return;
    case '}': token.kind = MelToken::kRBrace; ++fPos; return;
    case ',': token.kind = MelToken::kComma; ++fPos; return;
    case '=': token.kind = MelToken::kAssign; ++fPos; return;
    case '+': token.kind = MelToken::kPlus; ++fPos; return;
    default: break;
    }
    lexWord(token);
}

void MelLexer::lexString(MelToken& token)
{
    ++fPos;  // opening quote
    token.kind = MelToken::kString;
    while (fPos < fEnd) {
        char c = *fPos++;
        if (c == '"')
            return;
        if (c == '\n')
            break;  // strings do not run over lines
        if (c == '\\' && fPos < fEnd) {
            const char e = *fPos++;
            switch (e) {
            case 'n': token.text += '\n'; break;
            case 't': token.text += '\t'; break;
            case 'r': token.text += '\r'; break;
            case '\n': ++fLine; break;  // a backslash continues the string on the next line
            default: token.text += e; break;
            }
            continue;
        }
        token.text += c;
    }
    token.kind = MelToken::kError;
    token.text = "Unterminated string.";
}

void MelLexer::lexBackquote(MelToken& token)
{
    ++fPos;
    const char* start = fPos;
    int lines = 0;
    while (fPos < fEnd && *fPos != '`') {
        if (*fPos == '\n')
            ++lines;
        ++fPos;
    }
    if (fPos >= fEnd) {
        token.kind = MelToken::kError;
        token.text = "Unterminated back-quoted command.";
        return;
    }
    token.kind = MelToken::kBackquote;
    token.text.assign(start, fPos);
    ++fPos;
    fLine += lines;
}

void MelLexer::lexVariable(MelToken& token)
{
    ++fPos;
    const char* start = fPos;
    while (fPos < fEnd && isIdentifierChar(*fPos))
        ++fPos;
    if (fPos == start || std::isdigit(static_cast<unsigned char>(*start))) {
        token.kind = MelToken::kError;
        token.text = "Invalid variable name after '$'.";
        return;
    }
    token.kind = MelToken::kVariable;
    token.text.assign(start, fPos);
    if (fPos < fEnd && *fPos == '[') {
        const char* indexStart = ++fPos;
        while (fPos < fEnd && *fPos != ']' && *fPos != '\n' && *fPos != ';')
            ++fPos;
        if (fPos >= fEnd || *fPos != ']') {
            token.kind = MelToken::kError;
            token.text = "Missing ']' after array index.";
            return;
        }
        token.index.assign(indexStart, fPos);
        token.hasIndex = true;
        ++fPos;
    }
}

void MelLexer::lexWord(MelToken& token)
{
    const char* start = fPos;
    const bool numeric = std::isdigit(static_cast<unsigned char>(*fPos)) || *fPos == '.' || *fPos == '-';
    while (fPos < fEnd && !endsWord(*fPos)) {
        // '+' joins values, except as an exponent sign inside a number ("1e+20").
        if (*fPos == '+' && !(numeric && fPos > start && (fPos[-1] == 'e' || fPos[-1] == 'E')))
            break;
        ++fPos;
    }
    if (fPos == start) {
        // Defensive: every character must be consumed by some token.
        token.kind = MelToken::kError;
        token.text = std::string("Unexpected character '") + *fPos++ + "'.";
        return;
    }
    token.text.assign(start, fPos);
    const char first = token.text[0];
    const char second = token.text.size() > 1 ? token.text[1] : '\0';
    if (std::isdigit(static_cast<unsigned char>(first)) || first == '.' ||
        (first == '-' && (std::isdigit(static_cast<unsigned char>(second)) || second == '.'))) {
        if (parseNumber(token.text, token))
            return;
    }
    if (first == '-' && std::isalpha(static_cast<unsigned char>(second))) {
        token.kind = MelToken::kFlag;
        return;
    }
    token.kind = MelToken::kWord;
}

} // namespace host
