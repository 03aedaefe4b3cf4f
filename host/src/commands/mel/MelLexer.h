#pragma once
// Splits MEL text into tokens, tracking line numbers.

#include <maya/MString.h>

#include <cstdint>
#include <string>

namespace host {

struct MelToken
{
    enum Kind {
        kEnd,
        kWord,       // bare word: command name, object name, "true"...
        kFlag,       // bare "-name"
        kString,     // quoted; escapes resolved
        kInt,
        kDouble,
        kVariable,   // $name (text without '$'); `index` holds "[...]" contents
        kBackquote,  // `...` (text between the quotes)
        kSemicolon,
        kLParen,
        kRParen,
        kLBrace,
        kRBrace,
        kComma,
        kAssign,
        kPlus,
        kError       // text holds the message
    };

    Kind kind = kEnd;
    std::string text;
    std::string index;       // kVariable only
    bool hasIndex = false;   // kVariable followed by [...]
    int64_t intValue = 0;
    double doubleValue = 0.0;
    int line = 1;
    bool spaceBefore = false;  // whitespace or a comment precedes the token
};

class MelLexer
{
public:
    MelLexer(const char* text, size_t length, int firstLine = 1);

    const MelToken& peek();
    MelToken next();

private:
    void lex(MelToken& token);
    bool skipSpaceAndComments(MelToken& token);
    void lexString(MelToken& token);
    void lexBackquote(MelToken& token);
    void lexVariable(MelToken& token);
    void lexWord(MelToken& token);

    const char* fPos;
    const char* fEnd;
    int fLine;
    MelToken fPeeked;
    bool fHasPeeked = false;
};

} // namespace host
