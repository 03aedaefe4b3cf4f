#include "commands/mel/MelParser.h"

#include <cstring>

namespace host {

namespace {

constexpr int kMaxDepth = 256;

bool typeKeyword(const std::string& word, MelType& type)
{
    static const struct
    {
        const char* word;
        MelType type;
    } kTypes[] = {{"int", MelType::kInt},
                  {"float", MelType::kFloat},
                  {"string", MelType::kString},
                  {"vector", MelType::kVector},
                  {"matrix", MelType::kMatrix}};
    for (const auto& entry : kTypes) {
        if (word == entry.word) {
            type = entry.type;
            return true;
        }
    }
    return false;
}

bool keywordConstant(const std::string& word, int64_t& value)
{
    if (word == "true" || word == "on" || word == "yes") {
        value = 1;
        return true;
    }
    if (word == "false" || word == "off" || word == "no") {
        value = 0;
        return true;
    }
    return false;
}

std::string describe(const MelToken& token)
{
    switch (token.kind) {
    case MelToken::kEnd: return "end of input";
    case MelToken::kSemicolon: return "';'";
    case MelToken::kLParen: return "'('";
    case MelToken::kRParen: return "')'";
    case MelToken::kLBrace: return "'{'";
    case MelToken::kRBrace: return "'}'";
    case MelToken::kLBracket: return "'['";
    case MelToken::kRBracket: return "']'";
    case MelToken::kComma: return "','";
    case MelToken::kBackquote: return "'`'";
    case MelToken::kString: return "\"" + token.text + "\"";
    case MelToken::kVariable: return "'$" + token.text + "'";
    case MelToken::kInt: return "'" + std::to_string(token.intValue) + "'";
    default: return "'" + token.text + "'";
    }
}

// Operators of each binary precedence level, loosest first.
const char* const* levelOperators(int level)
{
    static const char* const kOr[] = {"||", nullptr};
    static const char* const kAnd[] = {"&&", nullptr};
    static const char* const kEquality[] = {"==", "!=", nullptr};
    static const char* const kRelational[] = {"<", ">", "<=", ">=", nullptr};
    static const char* const kAdditive[] = {"+", "-", nullptr};
    static const char* const kMultiplicative[] = {"*", "/", "%", "^", nullptr};
    static const char* const* const kLevels[] = {kOr, kAnd, kEquality, kRelational, kAdditive, kMultiplicative};
    return kLevels[level];
}
constexpr int kBinaryLevels = 6;

bool isAssignOperator(const MelToken& token)
{
    return token.kind == MelToken::kOperator &&
           (token.text == "=" || token.text == "+=" || token.text == "-=" || token.text == "*=" ||
            token.text == "/=");
}

// Bounds the recursion of nested expressions and statements.
class DepthGuard
{
public:
    DepthGuard(int& depth, int line, const char* message) : fDepth(depth)
    {
        if (++fDepth > kMaxDepth) {
            --fDepth;
            throw MelSyntaxError{line, message};
        }
    }
    ~DepthGuard() { --fDepth; }

private:
    int& fDepth;
};

// Counts a nesting level (blocks, loops, procedures) for the parse of a body.
class Counter
{
public:
    explicit Counter(int& count) : fCount(count) { ++fCount; }
    ~Counter() { --fCount; }

private:
    int& fCount;
};

} // namespace

MelParser::MelParser(const char* text, size_t length, int firstLine) : fLexer(text, length, firstLine) {}

void MelParser::fail(int line, const std::string& message)
{
    throw MelSyntaxError{line, message};
}

void MelParser::unexpected(const MelToken& token)
{
    if (token.kind == MelToken::kError)
        fail(token.line, token.text);
    fail(token.line, "Syntax error: unexpected " + describe(token) + ".");
}

void MelParser::expect(MelToken::Kind kind, const char* what)
{
    MelToken token = fLexer.next();
    if (token.kind == kind)
        return;
    if (token.kind == MelToken::kError)
        fail(token.line, token.text);
    fail(token.line, std::string("Syntax error: expected ") + what + " before " + describe(token) + ".");
}

void MelParser::endStatement()
{
    const MelToken& token = fLexer.peek();
    if (token.kind == MelToken::kSemicolon) {
        fLexer.next();
        return;
    }
    if (token.kind == MelToken::kEnd || token.kind == MelToken::kRBrace)
        return;
    if (token.kind == MelToken::kError)
        fail(token.line, token.text);
    fail(token.line, "Syntax error: expected ';' before " + describe(token) + ".");
}

MelNodePtr MelParser::nextStatement()
{
    for (;;) {
        const MelToken& token = fLexer.peek();
        if (token.kind == MelToken::kEnd)
            return nullptr;
        if (token.kind == MelToken::kSemicolon) {
            fLexer.next();
            continue;
        }
        return statement();
    }
}

MelNodePtr MelParser::statement()
{
    const MelToken& token = fLexer.peek();
    DepthGuard guard(fDepth, token.line, "Statements nested too deeply.");
    const int line = token.line;
    switch (token.kind) {
    case MelToken::kSemicolon:
        fLexer.next();
        return std::make_unique<MelNode>(MelNode::kEmpty, line);
    case MelToken::kLBrace:
        return block();
    case MelToken::kWord: {
        MelToken word = fLexer.next();
        MelType type;
        if (typeKeyword(word.text, type))
            return declaration(type, false, line);
        if (word.text == "global") {
            MelToken next = fLexer.next();
            if (next.isWord("proc"))
                return procedure(true, line);
            if (next.kind == MelToken::kWord && typeKeyword(next.text, type))
                return declaration(type, true, line);
            fail(next.line, "Syntax error: expected a type or 'proc' after 'global'.");
        }
        if (word.text == "proc")
            return procedure(false, line);
        if (word.text == "if")
            return ifStatement(line);
        if (word.text == "while")
            return whileStatement(line);
        if (word.text == "do")
            return doStatement(line);
        if (word.text == "for")
            return forStatement(line);
        if (word.text == "switch")
            return switchStatement(line);
        if (word.text == "source")
            return sourceStatement(line);
        if (word.text == "break" || word.text == "continue") {
            const bool isBreak = word.text == "break";
            if (isBreak ? fBreakable == 0 : fLoops == 0)
                fail(line, "Syntax error: '" + word.text + "' outside a loop" + (isBreak ? " or switch." : "."));
            endStatement();
            return std::make_unique<MelNode>(isBreak ? MelNode::kBreak : MelNode::kContinue, line);
        }
        if (word.text == "return") {
            auto node = std::make_unique<MelNode>(MelNode::kReturn, line);
            const MelToken& next = fLexer.peek();
            if (next.kind != MelToken::kSemicolon && next.kind != MelToken::kEnd && next.kind != MelToken::kRBrace)
                node->kids.push_back(expression());
            endStatement();
            return node;
        }
        if (word.text == "else" || word.text == "case" || word.text == "default")
            fail(line, "Syntax error: unexpected '" + word.text + "'.");
        return callStatement(std::move(word));
    }
    case MelToken::kVariable:
    case MelToken::kInt:
    case MelToken::kDouble:
    case MelToken::kString:
    case MelToken::kLParen:
    case MelToken::kBackquote:
        break;
    case MelToken::kOperator:
        if (token.text == "++" || token.text == "--" || token.text == "-" || token.text == "!" ||
            token.text == "<<")
            break;
        unexpected(token);
    default:
        unexpected(token);
    }
    auto node = std::make_unique<MelNode>(MelNode::kExpressionStatement, line);
    node->topLevel = fBlocks == 0 && fProcedures == 0;
    node->kids.push_back(expression());
    endStatement();
    return node;
}

MelNodePtr MelParser::block()
{
    auto node = std::make_unique<MelNode>(MelNode::kBlock, fLexer.next().line);
    Counter blocks(fBlocks);
    for (;;) {
        const MelToken& token = fLexer.peek();
        if (token.kind == MelToken::kRBrace) {
            fLexer.next();
            return node;
        }
        if (token.kind == MelToken::kEnd)
            fail(token.line, "Syntax error: missing '}' for the block opened on line " + std::to_string(node->line) + ".");
        node->kids.push_back(statement());
    }
}

MelNodePtr MelParser::declaration(MelType type, bool global, int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kDeclaration, line);
    node->type = type;
    node->global = global;
    node->topLevel = fBlocks == 0 && fProcedures == 0;
    for (;;) {
        MelToken name = fLexer.next();
        if (name.kind == MelToken::kError)
            fail(name.line, name.text);
        if (name.kind != MelToken::kVariable)
            fail(name.line, std::string("Syntax error: expected a variable name after '") + melTypeName(type, false) + "'.");
        auto declarator = std::make_unique<MelNode>(MelNode::kDeclarator, name.line);
        declarator->text = name.text;
        declarator->kids.push_back(nullptr);
        // $a[] and $a[5] are arrays; a matrix takes its size as [rows][columns].
        while (fLexer.peek().kind == MelToken::kLBracket) {
            fLexer.next();
            if (type != MelType::kMatrix)
                declarator->array = true;
            if (fLexer.peek().kind != MelToken::kRBracket)
                declarator->kids.push_back(expression());
            if (fLexer.next().kind != MelToken::kRBracket)
                fail(name.line, "Missing ']' after array index.");
        }
        if (type == MelType::kMatrix && declarator->kids.size() != 1 && declarator->kids.size() != 3)
            fail(name.line, "Syntax error: a matrix is declared as $name[rows][columns].");
        if (fLexer.peek().isOperator("=")) {
            fLexer.next();
            declarator->kids[0] = expression();
        }
        node->kids.push_back(std::move(declarator));
        if (fLexer.peek().kind != MelToken::kComma)
            break;
        fLexer.next();
    }
    endStatement();
    return node;
}

MelNodePtr MelParser::procedure(bool global, int line)
{
    if (fProcedures > 0 || fBlocks > 0)
        fail(line, "Syntax error: procedures can only be defined at the top level.");
    auto proc = std::make_shared<MelProcedure>();
    proc->global = global;
    MelToken name = fLexer.next();
    MelType type;
    if (name.kind == MelToken::kWord && typeKeyword(name.text, type) && fLexer.peek().kind != MelToken::kLParen) {
        proc->returnsValue = true;
        proc->returnType = type;
        if (fLexer.peek().kind == MelToken::kLBracket) {
            fLexer.next();
            expect(MelToken::kRBracket, "']'");
            proc->returnsArray = true;
        }
        name = fLexer.next();
    }
    if (name.kind != MelToken::kWord)
        fail(name.line, "Syntax error: expected a procedure name before " + describe(name) + ".");
    proc->name = name.text;
    expect(MelToken::kLParen, "'('");
    if (fLexer.peek().kind != MelToken::kRParen) {
        for (;;) {
            MelToken typeWord = fLexer.next();
            MelParameter parameter;
            if (typeWord.kind != MelToken::kWord || !typeKeyword(typeWord.text, parameter.type))
                fail(typeWord.line, "Syntax error: expected a parameter type before " + describe(typeWord) + ".");
            MelToken variable = fLexer.next();
            if (variable.kind != MelToken::kVariable)
                fail(variable.line, "Syntax error: expected a parameter name before " + describe(variable) + ".");
            parameter.name = variable.text;
            if (fLexer.peek().kind == MelToken::kLBracket) {
                fLexer.next();
                expect(MelToken::kRBracket, "']'");
                parameter.array = parameter.type != MelType::kMatrix;
            }
            proc->parameters.push_back(std::move(parameter));
            if (fLexer.peek().kind != MelToken::kComma)
                break;
            fLexer.next();
        }
    }
    expect(MelToken::kRParen, "')'");
    if (fLexer.peek().kind != MelToken::kLBrace)
        unexpected(fLexer.next());
    {
        Counter procedures(fProcedures);
        const int loops = fLoops, breakable = fBreakable;
        fLoops = fBreakable = 0;
        proc->body = block();
        fLoops = loops;
        fBreakable = breakable;
    }
    auto node = std::make_unique<MelNode>(MelNode::kProcedure, line);
    node->text = proc->name;
    node->procedure = std::move(proc);
    return node;
}

MelNodePtr MelParser::parenthesised()
{
    expect(MelToken::kLParen, "'('");
    MelNodePtr node = expression();
    expect(MelToken::kRParen, "')'");
    return node;
}

MelNodePtr MelParser::ifStatement(int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kIf, line);
    node->kids.push_back(parenthesised());
    Counter blocks(fBlocks);
    node->kids.push_back(statement());
    if (fLexer.peek().isWord("else")) {
        fLexer.next();
        node->kids.push_back(statement());
    } else {
        node->kids.push_back(nullptr);
    }
    return node;
}

MelNodePtr MelParser::whileStatement(int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kWhile, line);
    node->kids.push_back(parenthesised());
    Counter blocks(fBlocks), loops(fLoops), breakable(fBreakable);
    node->kids.push_back(statement());
    return node;
}

MelNodePtr MelParser::doStatement(int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kDoWhile, line);
    {
        Counter blocks(fBlocks), loops(fLoops), breakable(fBreakable);
        node->kids.push_back(statement());
    }
    MelToken word = fLexer.next();
    if (!word.isWord("while"))
        fail(word.line, "Syntax error: expected 'while' before " + describe(word) + ".");
    node->kids.push_back(parenthesised());
    endStatement();
    return node;
}

void MelParser::expressionStatements(MelNode& into, MelToken::Kind end, const char* endText)
{
    while (fLexer.peek().kind != end) {
        auto statementNode = std::make_unique<MelNode>(MelNode::kExpressionStatement, fLexer.peek().line);
        statementNode->kids.push_back(expression());
        into.kids.push_back(std::move(statementNode));
        if (fLexer.peek().kind != MelToken::kComma)
            break;
        fLexer.next();
    }
    expect(end, endText);
}

MelNodePtr MelParser::forStatement(int line)
{
    expect(MelToken::kLParen, "'('");
    Counter blocks(fBlocks);
    // for ($x in $list) or for (string $x in $list): look ahead for "in".
    const MelLexer::State start = fLexer.mark();
    {
        MelToken first = fLexer.next();
        MelType type;
        bool declared = false;
        if (first.kind == MelToken::kWord && typeKeyword(first.text, type)) {
            declared = true;
            first = fLexer.next();
        }
        if (first.kind == MelToken::kVariable && fLexer.peek().isWord("in")) {
            fLexer.next();
            auto node = std::make_unique<MelNode>(MelNode::kForIn, line);
            auto target = std::make_unique<MelNode>(MelNode::kVariable, first.line);
            target->text = first.text;
            if (declared) {
                target->global = true;  // marks "declare here"
                target->type = type;
            }
            node->kids.push_back(std::move(target));
            node->kids.push_back(expression());
            expect(MelToken::kRParen, "')'");
            Counter loops(fLoops), breakable(fBreakable);
            node->kids.push_back(statement());
            return node;
        }
    }
    fLexer.reset(start);
    auto node = std::make_unique<MelNode>(MelNode::kFor, line);
    auto init = std::make_unique<MelNode>(MelNode::kBlock, line);
    MelType type;
    if (fLexer.peek().kind == MelToken::kWord && typeKeyword(fLexer.peek().text, type)) {
        // A declaration as the initializer ends at the first ';' itself.
        const int declarationLine = fLexer.next().line;
        init->kids.push_back(declaration(type, false, declarationLine));
    } else {
        expressionStatements(*init, MelToken::kSemicolon, "';'");
    }
    node->kids.push_back(std::move(init));
    if (fLexer.peek().kind != MelToken::kSemicolon)
        node->kids.push_back(expression());
    else
        node->kids.push_back(nullptr);
    expect(MelToken::kSemicolon, "';'");
    auto step = std::make_unique<MelNode>(MelNode::kBlock, line);
    expressionStatements(*step, MelToken::kRParen, "')'");
    node->kids.push_back(std::move(step));
    Counter loops(fLoops), breakable(fBreakable);
    node->kids.push_back(statement());
    return node;
}

MelNodePtr MelParser::switchStatement(int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kSwitch, line);
    node->kids.push_back(parenthesised());
    expect(MelToken::kLBrace, "'{'");
    Counter blocks(fBlocks), breakable(fBreakable);
    for (;;) {
        const MelToken& token = fLexer.peek();
        if (token.kind == MelToken::kRBrace) {
            fLexer.next();
            return node;
        }
        if (token.kind == MelToken::kEnd)
            fail(token.line, "Syntax error: missing '}' for the switch on line " + std::to_string(line) + ".");
        if (token.isWord("case") || token.isWord("default")) {
            MelToken label = fLexer.next();
            auto caseNode = std::make_unique<MelNode>(MelNode::kCase, label.line);
            if (label.text == "case")
                caseNode->kids.push_back(expression());
            MelToken colon = fLexer.next();
            if (!colon.isOperator(":"))
                fail(colon.line, "Syntax error: expected ':' before " + describe(colon) + ".");
            node->kids.push_back(std::move(caseNode));
            continue;
        }
        node->kids.push_back(statement());
    }
}

MelNodePtr MelParser::sourceStatement(int line)
{
    MelToken file = fLexer.next(MelLexMode::kCommand);
    if (file.kind != MelToken::kString && file.kind != MelToken::kWord)
        fail(file.line, "Syntax error: expected a file name after 'source'.");
    auto node = std::make_unique<MelNode>(MelNode::kSource, line);
    node->text = file.text;
    endStatement();
    return node;
}

MelNodePtr MelParser::catchExpression(bool quiet, int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kCatch, line);
    node->quiet = quiet;
    if (fLexer.peek().kind == MelToken::kLParen) {
        fLexer.next();
        node->kids.push_back(expression());
        expect(MelToken::kRParen, "')'");
    } else {
        node->kids.push_back(commandArgument());
    }
    return node;
}

MelNodePtr MelParser::callStatement(MelToken name)
{
    const int line = name.line;
    auto statementNode = std::make_unique<MelNode>(MelNode::kExpressionStatement, line);
    statementNode->topLevel = fBlocks == 0 && fProcedures == 0;
    if (name.text == "catch" || name.text == "catchQuiet") {
        statementNode->kids.push_back(catchExpression(name.text == "catchQuiet", line));
        endStatement();
        return statementNode;
    }
    auto call = std::make_unique<MelNode>(MelNode::kCall, line);
    call->text = name.text;
    const MelToken& next = fLexer.peek();
    if (next.kind == MelToken::kLParen) {
        const bool spaced = next.spaceBefore;
        fLexer.next();
        callArguments(*call);
        call->functionSyntax = true;
        const MelToken& after = fLexer.peek(MelLexMode::kCommand);
        const bool ends = after.kind == MelToken::kSemicolon || after.kind == MelToken::kEnd ||
                          after.kind == MelToken::kRBrace || (fInBackquote && after.kind == MelToken::kBackquote);
        if (!ends && spaced && call->kids.size() == 1) {
            // "cmd (expr) more args": the parentheses held the first argument.
            call->functionSyntax = false;
            commandArguments(*call);
        }
    } else {
        commandArguments(*call);
    }
    statementNode->kids.push_back(std::move(call));
    if (!fInBackquote)
        endStatement();
    return statementNode;
}

void MelParser::callArguments(MelNode& call)
{
    if (fLexer.peek().kind == MelToken::kRParen) {
        fLexer.next();
        return;
    }
    for (;;) {
        call.kids.push_back(expression());
        MelToken token = fLexer.next();
        if (token.kind == MelToken::kRParen)
            return;
        if (token.kind != MelToken::kComma) {
            if (token.kind == MelToken::kError)
                fail(token.line, token.text);
            fail(token.line, "Syntax error: expected ',' or ')' before " + describe(token) + ".");
        }
    }
}

void MelParser::commandArguments(MelNode& call)
{
    for (;;) {
        const MelToken& token = fLexer.peek(MelLexMode::kCommand);
        if (token.kind == MelToken::kEnd || token.kind == MelToken::kSemicolon || token.kind == MelToken::kRBrace)
            return;
        if (fInBackquote && token.kind == MelToken::kBackquote)
            return;
        call.kids.push_back(commandArgument());
    }
}

MelNodePtr MelParser::literal(MelToken& token)
{
    switch (token.kind) {
    case MelToken::kInt: {
        auto node = std::make_unique<MelNode>(MelNode::kIntLiteral, token.line);
        node->intValue = token.intValue;
        return node;
    }
    case MelToken::kDouble: {
        auto node = std::make_unique<MelNode>(MelNode::kFloatLiteral, token.line);
        node->floatValue = token.doubleValue;
        return node;
    }
    case MelToken::kString: {
        auto node = std::make_unique<MelNode>(MelNode::kStringLiteral, token.line);
        node->text = std::move(token.text);
        return node;
    }
    default:
        return nullptr;
    }
}

MelNodePtr MelParser::commandArgument()
{
    MelToken token = fLexer.next(MelLexMode::kCommand);
    const int line = token.line;
    if (MelNodePtr node = literal(token))
        return node;
    switch (token.kind) {
    case MelToken::kFlag: {
        auto node = std::make_unique<MelNode>(MelNode::kFlag, line);
        node->text = std::move(token.text);
        return node;
    }
    case MelToken::kWord: {
        int64_t constant = 0;
        if (keywordConstant(token.text, constant)) {
            auto node = std::make_unique<MelNode>(MelNode::kIntLiteral, line);
            node->intValue = constant;
            return node;
        }
        auto node = std::make_unique<MelNode>(MelNode::kStringLiteral, line);
        node->text = std::move(token.text);
        return node;
    }
    case MelToken::kVariable: {
        DepthGuard guard(fDepth, line, "Expression nested too deeply.");
        return variable(std::move(token));
    }
    case MelToken::kBackquote: {
        DepthGuard guard(fDepth, line, "Expression nested too deeply.");
        return backquoted(line);
    }
    case MelToken::kLParen: {
        DepthGuard guard(fDepth, line, "Expression nested too deeply.");
        MelNodePtr node = expression();
        expect(MelToken::kRParen, "')'");
        return node;
    }
    case MelToken::kLBrace: {
        DepthGuard guard(fDepth, line, "Expression nested too deeply.");
        return arrayLiteral(line);
    }
    case MelToken::kOperator:
        if (token.text == "<<") {
            DepthGuard guard(fDepth, line, "Expression nested too deeply.");
            return vectorLiteral(line);
        }
        unexpected(token);
    default:
        unexpected(token);
    }
}

MelNodePtr MelParser::backquoted(int line)
{
    if (fInBackquote)
        fail(line, "Syntax error: back quotes cannot be nested.");
    MelToken name = fLexer.next();
    if (name.kind == MelToken::kError)
        fail(name.line, name.text);
    if (name.kind != MelToken::kWord)
        fail(name.line, "Syntax error: expected a command inside back quotes.");
    fInBackquote = true;
    MelNodePtr statementNode;
    try {
        statementNode = callStatement(std::move(name));
    } catch (...) {
        fInBackquote = false;
        throw;
    }
    fInBackquote = false;
    if (fLexer.peek(MelLexMode::kCommand).kind == MelToken::kSemicolon)
        fLexer.next(MelLexMode::kCommand);  // `ls -sl;` ends its one command
    MelToken close = fLexer.next(MelLexMode::kCommand);
    if (close.kind != MelToken::kBackquote) {
        if (close.kind == MelToken::kError)
            fail(close.line, close.text);
        fail(close.line, "Syntax error: only one command may appear inside back quotes.");
    }
    MelNodePtr call = std::move(statementNode->kids[0]);
    return call;
}

MelNodePtr MelParser::expression()
{
    return assignment();
}

MelNodePtr MelParser::assignment()
{
    MelNodePtr target = ternary();
    const MelToken& token = fLexer.peek();
    if (!isAssignOperator(token))
        return target;
    if (target->kind != MelNode::kVariable || target->member != 0)
        fail(token.line, "Syntax error: only a variable can be assigned to.");
    MelToken op = fLexer.next();
    DepthGuard guard(fDepth, op.line, "Expression nested too deeply.");
    auto node = std::make_unique<MelNode>(MelNode::kAssign, op.line);
    node->text = op.text;
    node->kids.push_back(std::move(target));
    node->kids.push_back(assignment());  // right-associative: $a = $b = 1
    return node;
}

MelNodePtr MelParser::ternary()
{
    MelNodePtr condition = binary(0);
    if (!fLexer.peek().isOperator("?"))
        return condition;
    MelToken op = fLexer.next();
    DepthGuard guard(fDepth, op.line, "Expression nested too deeply.");
    auto node = std::make_unique<MelNode>(MelNode::kTernary, op.line);
    node->kids.push_back(std::move(condition));
    node->kids.push_back(expression());
    MelToken colon = fLexer.next();
    if (!colon.isOperator(":"))
        fail(colon.line, "Syntax error: expected ':' before " + describe(colon) + ".");
    node->kids.push_back(ternary());
    return node;
}

MelNodePtr MelParser::binary(int level)
{
    if (level == kBinaryLevels)
        return unary();
    MelNodePtr first = binary(level + 1);
    MelNodePtr chain;
    for (;;) {
        const MelToken& token = fLexer.peek();
        if (token.kind != MelToken::kOperator)
            break;
        bool matches = false;
        for (const char* const* op = levelOperators(level); *op; ++op)
            matches |= token.text == *op;
        if (!matches)
            break;
        MelToken op = fLexer.next();
        if (!chain) {
            chain = std::make_unique<MelNode>(MelNode::kBinary, op.line);
            chain->kids.push_back(std::move(first));
        }
        chain->operators.push_back(op.text);
        chain->kids.push_back(binary(level + 1));
    }
    return chain ? std::move(chain) : std::move(first);
}

MelNodePtr MelParser::unary()
{
    const MelToken& token = fLexer.peek();
    DepthGuard guard(fDepth, token.line, "Expression nested too deeply.");
    if (token.kind == MelToken::kOperator) {
        if (token.text == "-" || token.text == "!" || token.text == "+") {
            MelToken op = fLexer.next();
            MelNodePtr operand = unary();
            if (op.text == "+")
                return operand;
            // Fold negative numbers so "-5" stays an int literal.
            if (op.text == "-" && operand->kind == MelNode::kIntLiteral && operand->intValue != INT64_MIN) {
                operand->intValue = -operand->intValue;
                return operand;
            }
            if (op.text == "-" && operand->kind == MelNode::kFloatLiteral) {
                operand->floatValue = -operand->floatValue;
                return operand;
            }
            auto node = std::make_unique<MelNode>(MelNode::kUnary, op.line);
            node->text = op.text;
            node->kids.push_back(std::move(operand));
            return node;
        }
        if (token.text == "++" || token.text == "--") {
            MelToken op = fLexer.next();
            MelNodePtr target = unary();
            if (target->kind != MelNode::kVariable || target->member != 0)
                fail(op.line, "Syntax error: '" + op.text + "' needs a variable.");
            auto node = std::make_unique<MelNode>(MelNode::kIncrement, op.line);
            node->text = op.text;
            node->prefix = true;
            node->kids.push_back(std::move(target));
            return node;
        }
    }
    return postfix();
}

MelNodePtr MelParser::postfix()
{
    MelNodePtr operand = primary();
    const MelToken& token = fLexer.peek();
    if (operand->kind == MelNode::kVariable && token.kind == MelToken::kOperator &&
        (token.text == "++" || token.text == "--")) {
        MelToken op = fLexer.next();
        auto node = std::make_unique<MelNode>(MelNode::kIncrement, op.line);
        node->text = op.text;
        node->kids.push_back(std::move(operand));
        return node;
    }
    return operand;
}

MelNodePtr MelParser::primary()
{
    MelToken token = fLexer.next();
    const int line = token.line;
    if (MelNodePtr node = literal(token))
        return node;
    switch (token.kind) {
    case MelToken::kVariable:
        return variable(std::move(token));
    case MelToken::kBackquote:
        return backquoted(line);
    case MelToken::kLParen: {
        MelNodePtr node = expression();
        expect(MelToken::kRParen, "')'");
        return node;
    }
    case MelToken::kLBrace:
        return arrayLiteral(line);
    case MelToken::kOperator:
        if (token.text == "<<")
            return vectorLiteral(line);
        unexpected(token);
    case MelToken::kWord: {
        int64_t constant = 0;
        if (keywordConstant(token.text, constant)) {
            auto node = std::make_unique<MelNode>(MelNode::kIntLiteral, line);
            node->intValue = constant;
            return node;
        }
        if (token.text == "catch" || token.text == "catchQuiet")
            return catchExpression(token.text == "catchQuiet", line);
        if (fLexer.peek().kind == MelToken::kLParen) {
            fLexer.next();
            auto call = std::make_unique<MelNode>(MelNode::kCall, line);
            call->text = std::move(token.text);
            call->functionSyntax = true;
            callArguments(*call);
            return call;
        }
        fail(line, "Syntax error: unexpected word '" + token.text + "'.");
    }
    default:
        unexpected(token);
    }
}

MelNodePtr MelParser::variable(MelToken token)
{
    auto node = std::make_unique<MelNode>(MelNode::kVariable, token.line);
    node->text = std::move(token.text);
    while (node->kids.size() < 2) {
        const MelToken& next = fLexer.peek();
        if (next.kind != MelToken::kLBracket || next.spaceBefore)
            break;
        fLexer.next();
        node->kids.push_back(expression());
        const MelToken& close = fLexer.peek();
        if (close.kind != MelToken::kRBracket)
            fail(close.line, "Missing ']' after array index.");
        fLexer.next();
    }
    const MelToken& dot = fLexer.peek();
    if (dot.isOperator(".") && !dot.spaceBefore) {
        const MelLexer::State before = fLexer.mark();
        fLexer.next();
        const MelToken& member = fLexer.peek();
        if (member.kind == MelToken::kWord && !member.spaceBefore &&
            (member.text == "x" || member.text == "y" || member.text == "z")) {
            node->member = member.text[0];
            fLexer.next();
        } else {
            fLexer.reset(before);
        }
    }
    return node;
}

MelNodePtr MelParser::arrayLiteral(int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kArrayLiteral, line);
    if (fLexer.peek().kind == MelToken::kRBrace) {
        fLexer.next();
        return node;
    }
    for (;;) {
        node->kids.push_back(expression());
        MelToken token = fLexer.next();
        if (token.kind == MelToken::kRBrace)
            return node;
        if (token.kind != MelToken::kComma) {
            if (token.kind == MelToken::kError)
                fail(token.line, token.text);
            fail(token.line, "Syntax error: expected ',' or '}' before " + describe(token) + ".");
        }
    }
}

MelNodePtr MelParser::vectorLiteral(int line)
{
    auto node = std::make_unique<MelNode>(MelNode::kVectorLiteral, line);
    int row = 0;
    for (;;) {
        // Elements bind tighter than comparisons, so ">>" is never read as one.
        node->kids.push_back(binary(4));
        ++row;
        MelToken token = fLexer.next();
        if (token.isOperator(">>")) {
            node->rowLengths.push_back(row);
            break;
        }
        if (token.kind == MelToken::kSemicolon) {
            node->rowLengths.push_back(row);
            row = 0;
            continue;
        }
        if (token.kind != MelToken::kComma) {
            if (token.kind == MelToken::kError)
                fail(token.line, token.text);
            fail(token.line, "Syntax error: expected ',' or '>>' before " + describe(token) + ".");
        }
    }
    if (node->rowLengths.size() == 1 && node->rowLengths[0] != 3)
        fail(line, "Syntax error: a vector has three components.");
    for (int length : node->rowLengths)
        if (length != node->rowLengths[0])
            fail(line, "Syntax error: the rows of a matrix must have the same length.");
    return node;
}

} // namespace host
