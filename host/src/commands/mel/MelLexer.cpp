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

// Characters that end a bare word in command arguments.
bool endsCommandWord(char c)
{
    return isSpace(c) || std::strchr(";\"`(){},", c) != nullptr;
}

bool isIdentifierStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Whole-word number parse: "12", "-0.5", "1e-3", "0x1F"; false for "1abc".
bool parseNumber(const std::string& text, MelToken& token)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const bool hex = text.find("0x") != std::string::npos || text.find("0X") != std::string::npos;
    const bool looksFloat = !hex && text.find_first_of(".eE") != std::string::npos;
    if (!looksFloat) {
        errno = 0;
        // Base 10 unless hexadecimal: MEL reads "010" as ten.
        long long value = std::strtoll(begin, &end, hex ? 16 : 10);
        if (*end == '\0' && end != begin && errno != ERANGE) {
            token.kind = MelToken::kInt;
            token.intValue = value;
            return true;
        }
        if (hex)
            return false;
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
    : fState{text, firstLine, false}, fEnd(text + length)
{
}

const MelToken& MelLexer::peek(MelLexMode mode)
{
    if (fHasPeeked && fPeekedMode != mode)
        fState = fBeforePeek;  // the same characters read the other way
    else if (fHasPeeked)
        return fPeeked;
    fBeforePeek = fState;
    fPeeked = MelToken();
    lex(fPeeked, mode);
    fPeekedMode = mode;
    fHasPeeked = true;
    return fPeeked;
}

MelToken MelLexer::next(MelLexMode mode)
{
    peek(mode);
    fHasPeeked = false;
    return std::move(fPeeked);
}

MelLexer::State MelLexer::mark()
{
    return fHasPeeked ? fBeforePeek : fState;
}

void MelLexer::reset(const State& state)
{
    fState = state;
    fHasPeeked = false;
}

// Returns false (with an error token) for an unterminated block comment.
bool MelLexer::skipSpaceAndComments(MelToken& token)
{
    const char*& pos = fState.pos;
    while (pos < fEnd) {
        const char c = *pos;
        if (isSpace(c)) {
            if (c == '\n')
                ++fState.line;
            ++pos;
            token.spaceBefore = true;
        } else if (c == '/' && pos + 1 < fEnd && pos[1] == '/') {
            while (pos < fEnd && *pos != '\n')
                ++pos;
            token.spaceBefore = true;
        } else if (c == '/' && pos + 1 < fEnd && pos[1] == '*') {
            const int startLine = fState.line;
            pos += 2;
            while (pos < fEnd && !(*pos == '*' && pos + 1 < fEnd && pos[1] == '/')) {
                if (*pos == '\n')
                    ++fState.line;
                ++pos;
            }
            if (pos >= fEnd) {
                token.kind = MelToken::kError;
                token.line = startLine;
                token.text = "Unterminated comment.";
                return false;
            }
            pos += 2;
            token.spaceBefore = true;
        } else {
            break;
        }
    }
    return true;
}

void MelLexer::lex(MelToken& token, MelLexMode mode)
{
    if (!skipSpaceAndComments(token))
        return;
    token.line = fState.line;
    if (fState.pos >= fEnd) {
        token.kind = MelToken::kEnd;
        return;
    }
    const char c = *fState.pos;
    switch (c) {
    case '"': lexString(token); return;
    case '`': lexBackquote(token); return;
    case '$': lexVariable(token); return;
    case ';': token.kind = MelToken::kSemicolon; ++fState.pos; return;
    case '(': token.kind = MelToken::kLParen; ++fState.pos; return;
    case ')': token.kind = MelToken::kRParen; ++fState.pos; return;
    case '{': token.kind = MelToken::kLBrace; ++fState.pos; return;
    case '}': token.kind = MelToken::kRBrace; ++fState.pos; return;
    case ',': token.kind = MelToken::kComma; ++fState.pos; return;
    default: break;
    }
    if (mode == MelLexMode::kCommand) {
        if (c == '<' && fState.pos + 1 < fEnd && fState.pos[1] == '<') {
            token.kind = MelToken::kOperator;
            token.text = "<<";
            fState.pos += 2;
            return;
        }
        lexCommandWord(token);
        return;
    }
    if (c == '[' || c == ']') {
        token.kind = c == '[' ? MelToken::kLBracket : MelToken::kRBracket;
        ++fState.pos;
        return;
    }
    if (isDigit(c) || isIdentifierStart(c) || (c == '.' && fState.pos + 1 < fEnd && isDigit(fState.pos[1]))) {
        lexExpressionWord(token);
        return;
    }
    if (lexOperator(token))
        return;
    token.kind = MelToken::kError;
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 127)
        token.text = "Syntax error: unexpected character.";
    else
        token.text = std::string("Syntax error: unexpected '") + c + "'.";
    ++fState.pos;
}

bool MelLexer::lexOperator(MelToken& token)
{
    static const char* const kTwoCharacter[] = {"<=", ">=", "==", "!=", "&&", "||", "+=", "-=",
                                                "*=", "/=", "++", "--", "<<", ">>"};
    const char* pos = fState.pos;
    if (pos + 1 < fEnd) {
        for (const char* op : kTwoCharacter) {
            if (pos[0] == op[0] && pos[1] == op[1]) {
                token.kind = MelToken::kOperator;
                token.text.assign(op, 2);
                fState.pos += 2;
                return true;
            }
        }
    }
    if (std::strchr("+-*/%^<>!?:=.", *pos) && *pos != '\0') {
        token.kind = MelToken::kOperator;
        token.text.assign(pos, 1);
        ++fState.pos;
        return true;
    }
    return false;
}

void MelLexer::lexString(MelToken& token)
{
    const char*& pos = fState.pos;
    ++pos;  // opening quote
    token.kind = MelToken::kString;
    while (pos < fEnd) {
        char c = *pos++;
        if (c == '"')
            return;
        if (c == '\n')
            break;  // strings do not run over lines
        if (c == '\\' && pos < fEnd) {
            const char e = *pos++;
            switch (e) {
            case 'n': token.text += '\n'; break;
            case 't': token.text += '\t'; break;
            case 'r': token.text += '\r'; break;
            case '\n': ++fState.line; break;  // a backslash continues the string on the next line
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
    ++fState.pos;
    if (!fState.insideBackquote &&
        std::memchr(fState.pos, '`', static_cast<size_t>(fEnd - fState.pos)) == nullptr) {
        token.kind = MelToken::kError;
        token.text = "Unterminated back-quoted command.";
        fState.pos = fEnd;
        return;
    }
    fState.insideBackquote = !fState.insideBackquote;
    token.kind = MelToken::kBackquote;
}

void MelLexer::lexVariable(MelToken& token)
{
    const char*& pos = fState.pos;
    ++pos;
    const char* start = pos;
    while (pos < fEnd && isIdentifierChar(*pos))
        ++pos;
    if (pos == start || isDigit(*start)) {
        token.kind = MelToken::kError;
        token.text = "Invalid variable name after '$'.";
        return;
    }
    token.kind = MelToken::kVariable;
    token.text.assign(start, pos);
}

void MelLexer::lexExpressionWord(MelToken& token)
{
    const char*& pos = fState.pos;
    const char* start = pos;
    if (isIdentifierStart(*pos)) {
        while (pos < fEnd && isIdentifierChar(*pos))
            ++pos;
        token.kind = MelToken::kWord;
        token.text.assign(start, pos);
        return;
    }
    if (*pos == '0' && pos + 2 < fEnd && (pos[1] == 'x' || pos[1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(pos[2]))) {
        pos += 2;
        while (pos < fEnd && std::isxdigit(static_cast<unsigned char>(*pos)))
            ++pos;
    } else {
        while (pos < fEnd && isDigit(*pos))
            ++pos;
        if (pos < fEnd && *pos == '.') {
            ++pos;
            while (pos < fEnd && isDigit(*pos))
                ++pos;
        }
        if (pos < fEnd && (*pos == 'e' || *pos == 'E')) {
            const char* exponent = pos + 1;
            if (exponent < fEnd && (*exponent == '+' || *exponent == '-'))
                ++exponent;
            if (exponent < fEnd && isDigit(*exponent)) {
                pos = exponent;
                while (pos < fEnd && isDigit(*pos))
                    ++pos;
            }
        }
    }
    token.text.assign(start, pos);
    if (!parseNumber(token.text, token)) {
        token.kind = MelToken::kError;
        token.text = "Syntax error: invalid number '" + token.text + "'.";
    }
}

void MelLexer::lexCommandWord(MelToken& token)
{
    const char*& pos = fState.pos;
    const char* start = pos;
    while (pos < fEnd && !endsCommandWord(*pos) && !(fState.insideBackquote && *pos == '`'))
        ++pos;
    if (pos == start) {
        token.kind = MelToken::kError;
        token.text = std::string("Syntax error: unexpected '") + *pos++ + "'.";
        return;
    }
    token.text.assign(start, pos);
    const char first = token.text[0];
    const char second = token.text.size() > 1 ? token.text[1] : '\0';
    if (isDigit(first) || first == '.' || ((first == '-' || first == '+') && (isDigit(second) || second == '.'))) {
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
