#pragma once
// The parsed form of MEL: statements and expressions as a tree, built once
// and evaluated as often as loops and procedure calls need.

#include "commands/mel/MelData.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace host {

struct MelNode;
typedef std::unique_ptr<MelNode> MelNodePtr;

struct MelNode
{
    enum Kind : unsigned char {
        // Expressions
        kIntLiteral,     // number
        kFloatLiteral,   // real
        kStringLiteral,  // text
        kFlag,           // text: "-name" written bare in command arguments
        kVariable,       // text: name; kids: indices (0-2); member: 'x', 'y', 'z' or 0
        kArrayLiteral,   // {a, b}; kids
        kVectorLiteral,  // <<a, b, c>> or a matrix <<a, b; c, d>>: rowLengths
        kUnary,          // text: "-", "!"; kids[0]
        kBinary,         // a chain of one precedence level: kids[0] operators[0] kids[1] ...
        kTernary,        // kids: condition, then, else
        kAssign,         // text: "=", "+=", ...; kids[0] the target variable, kids[1] the value
        kIncrement,      // text: "++" or "--"; prefix; kids[0] the target
        kCall,           // text: name; kids: arguments; functionSyntax
        kCatch,          // quiet; kids[0]
        // Statements
        kBlock,          // kids
        kExpressionStatement,  // kids[0]; topLevel: echoes a command's result
        kDeclaration,    // type; global; kids: kDeclarator
        kDeclarator,     // text: name; array; kids[0]: initial value or null; kids[1..]: sizes
        kIf,             // kids: condition, then, else (or null)
        kWhile,          // kids: condition, body
        kDoWhile,        // kids: body, condition
        kFor,            // kids: init (kBlock of expressions), condition or null, step (kBlock), body
        kForIn,          // kids: variable (global and type set when "for (string $x in ...)" declares it), list, body
        kSwitch,         // kids[0]: value; then statements and kCase labels in order
        kCase,           // kids[0]: value, none for default
        kBreak,
        kContinue,
        kReturn,         // kids[0] or none
        kProcedure,      // procedure
        kSource,         // text: the file as written
        kEmpty
    };

    Kind kind;
    int line = 0;
    std::string text;
    int64_t intValue = 0;
    double floatValue = 0.0;
    std::vector<MelNodePtr> kids;
    std::vector<int> rowLengths;  // kVectorLiteral
    std::vector<std::string> operators;  // kBinary: between kids
    MelType type = MelType::kInt; // kDeclaration
    char member = 0;
    bool prefix = false;
    bool functionSyntax = false;
    bool quiet = false;
    bool global = false;
    bool array = false;
    bool topLevel = false;
    std::shared_ptr<struct MelProcedure> procedure;

    MelNode(Kind k, int l) : kind(k), line(l) {}
};

struct MelUnit;

struct MelParameter
{
    std::string name;
    MelType type = MelType::kString;
    bool array = false;
};

struct MelProcedure
{
    std::string name;
    bool global = false;
    bool returnsValue = false;
    MelType returnType = MelType::kInt;
    bool returnsArray = false;
    std::vector<MelParameter> parameters;
    std::shared_ptr<MelNode> body;
    // The text that defined it: names its errors and holds its local
    // procedures. Global procedures keep it alive; local ones are only
    // called from its own code, which does.
    MelUnit* unit = nullptr;
    std::shared_ptr<MelUnit> keepUnit;
};

// One piece of MEL text being run: a script, a sourced file or an eval string.
struct MelUnit
{
    std::string sourceName;  // empty: "Line N: ..." in messages
    // Procedures declared without "global" are seen only from the same text.
    std::unordered_map<std::string, std::shared_ptr<MelProcedure>> localProcedures;
};

} // namespace host
