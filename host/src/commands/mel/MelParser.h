#pragma once
// Reads MEL text into syntax trees, one top-level statement at a time, so a
// script runs up to its first malformed statement as MEL scene files expect.

#include "commands/mel/MelLexer.h"
#include "commands/mel/MelSyntaxTree.h"

#include <string>

namespace host {

// Thrown for malformed text; `message` is what the user reads after "Line N: ".
struct MelSyntaxError
{
    int line;
    std::string message;
};

class MelParser
{
public:
    MelParser(const char* text, size_t length, int firstLine = 1);

    // The next top-level statement, or null at the end of the text.
    // Throws MelSyntaxError.
    MelNodePtr nextStatement();

private:
    MelNodePtr statement();
    MelNodePtr block();
    MelNodePtr declaration(MelType type, bool global, int line);
    MelNodePtr procedure(bool global, int line);
    MelNodePtr ifStatement(int line);
    MelNodePtr whileStatement(int line);
    MelNodePtr doStatement(int line);
    MelNodePtr forStatement(int line);
    MelNodePtr switchStatement(int line);
    MelNodePtr callStatement(MelToken name);
    MelNodePtr sourceStatement(int line);
    void commandArguments(MelNode& call);
    void callArguments(MelNode& call);
    // "(" expression ")", as conditions and switch values are written.
    MelNodePtr parenthesised();
    // Comma-separated expressions, each a statement of `into`, up to and including `end`.
    void expressionStatements(MelNode& into, MelToken::Kind end, const char* endText);
    // A number or string token as its literal node; null for any other token.
    MelNodePtr literal(MelToken& token);
    MelNodePtr commandArgument();
    MelNodePtr catchExpression(bool quiet, int line);
    MelNodePtr backquoted(int line);

    MelNodePtr expression();
    MelNodePtr assignment();
    MelNodePtr ternary();
    MelNodePtr binary(int level);
    MelNodePtr unary();
    MelNodePtr postfix();
    MelNodePtr primary();
    MelNodePtr variable(MelToken token);
    MelNodePtr arrayLiteral(int line);
    MelNodePtr vectorLiteral(int line);

    void endStatement();
    void expect(MelToken::Kind kind, const char* what);
    [[noreturn]] void unexpected(const MelToken& token);
    [[noreturn]] void fail(int line, const std::string& message);

    MelLexer fLexer;
    int fDepth = 0;       // nesting of expressions and statements, bounded for the stack's sake
    int fBlocks = 0;      // > 0 inside braces or a statement's body
    int fProcedures = 0;  // > 0 inside a procedure's body
    int fLoops = 0;       // loops around the statement: continue needs one
    int fBreakable = 0;   // loops and switches: break leaves them
    bool fInBackquote = false;
};

} // namespace host
