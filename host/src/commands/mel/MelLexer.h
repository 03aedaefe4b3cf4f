#pragma once
// Splits MEL text into tokens, tracking line numbers. MEL reads the same
// characters two ways: inside expressions "-" and "." are operators, while
// the arguments of a command in command syntax are words ("pCube1.tx",
// "-flag", "|group|node"); the parser says which it wants.

#include <cstdint>
#include <string>

namespace host {

struct MelToken
{
    enum Kind {
        kEnd,
        kWord,       // identifier (expressions) or bare word (command arguments)
        kFlag,       // bare "-name" in command arguments
        kString,     // quoted; escapes resolved
        kInt,
        kDouble,
        kVariable,   // $name (text without '$')
        kBackquote,  // ` opening or closing a command substitution
        kSemicolon,
        kLParen,
        kRParen,
        kLBrace,
        kRBrace,
        kLBracket,
        kRBracket,
        kComma,
        kOperator,   // text holds it: + - * / % ^ < > <= >= == != && || ! ? : = += -= *= /= ++ -- << >> .
        kError       // text holds the message
    };

    Kind kind = kEnd;
    std::string text;
    int64_t intValue = 0;
    double doubleValue = 0.0;
    int line = 1;
    bool spaceBefore = false;  // whitespace or a comment precedes the token

    bool is(Kind k) const { return kind == k; }
    bool isOperator(const char* op) const { return kind == kOperator && text == op; }
    bool isWord(const char* word) const { return kind == kWord && text == word; }
};

enum class MelLexMode : unsigned char { kExpression, kCommand };

class MelLexer
{
public:
    MelLexer(const char* text, size_t length, int firstLine = 1);

    const MelToken& peek(MelLexMode mode = MelLexMode::kExpression);
    MelToken next(MelLexMode mode = MelLexMode::kExpression);
    struct State
    {
        const char* pos;
        int line;
        bool insideBackquote;
    };
    // Where the next token starts, to read ahead and come back.
    State mark();
    void reset(const State& state);

private:

    void lex(MelToken& token, MelLexMode mode);
    bool skipSpaceAndComments(MelToken& token);
    void lexString(MelToken& token);
    void lexBackquote(MelToken& token);
    void lexVariable(MelToken& token);
    void lexCommandWord(MelToken& token);
    void lexExpressionWord(MelToken& token);
    bool lexOperator(MelToken& token);

    State fState;
    const char* fEnd;
    MelToken fPeeked;
    State fBeforePeek{};
    MelLexMode fPeekedMode = MelLexMode::kExpression;
    bool fHasPeeked = false;
};

} // namespace host
