#include "commands/mel/MelEvaluator.h"

#include "commands/Argument.h"
#include "commands/CommandExecution.h"
#include "commands/CommandRegistry.h"
#include "commands/MessageOutput.h"
#include "commands/Session.h"
#include "commands/mel/MelParser.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unordered_map>

namespace host {

namespace {

// Procedure calls, eval, source and nested scripts, across every evaluator
// on this thread: bounded so a runaway recursion fails instead of
// exhausting the stack.
thread_local int gCallDepth = 0;
constexpr int kMaxCallDepth = 200;

// Loop iterations of the current top-level run, against a limit only tests set.
std::atomic<uint64_t> gLoopIterationLimit{0};
thread_local uint64_t gLoopIterations = 0;

// Arrays may grow this far by assignment to an index, strings by concatenation:
// a runaway loop fails instead of exhausting memory.
constexpr int64_t kMaxArraySize = 10000000;
constexpr size_t kMaxStringSize = size_t(1) << 28;

std::unordered_map<std::string, MelVariablePtr>& globalVariables()
{
    static std::unordered_map<std::string, MelVariablePtr> variables;
    return variables;
}

std::unordered_map<std::string, std::shared_ptr<MelProcedure>>& globalProcedures()
{
    static std::unordered_map<std::string, std::shared_ptr<MelProcedure>> procedures;
    return procedures;
}

class CallDepth
{
public:
    CallDepth(MelEvaluator& evaluator, int line)
    {
        if (gCallDepth >= kMaxCallDepth)
            evaluator.fail(line, "Procedure calls nested too deeply (more than " + std::to_string(kMaxCallDepth) +
                                     " levels).");
        ++gCallDepth;
    }
    ~CallDepth() { --gCallDepth; }
};

bool fileExists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> scriptPath()
{
    std::vector<std::string> folders;
    const char* path = std::getenv("MAYA_SCRIPT_PATH");
    if (!path)
        return folders;
    std::stringstream stream(path);
    std::string folder;
    while (std::getline(stream, folder, ':'))
        if (!folder.empty())
            folders.push_back(folder);
    return folders;
}

// `file` as given (then with ".mel"), else in a MAYA_SCRIPT_PATH folder.
std::string findScript(const std::string& file, bool searchCurrentFolder)
{
    std::vector<std::string> names{file};
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".mel") != 0)
        names.push_back(file + ".mel");
    if (searchCurrentFolder || (!file.empty() && file[0] == '/'))
        for (const std::string& name : names)
            if (fileExists(name))
                return name;
    if (!file.empty() && file[0] == '/')
        return std::string();
    for (const std::string& folder : scriptPath())
        for (const std::string& name : names)
            if (fileExists(folder + "/" + name))
                return folder + "/" + name;
    return std::string();
}

bool readFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return true;
}

MelData intOrFloat(bool fits, int64_t exact, double approximate)
{
    return fits ? MelData::ofInt(exact) : MelData::ofFloat(approximate);
}

bool isVectorLike(const MelData& value)
{
    return value.kind == MelData::kVector;
}

MelVector combine(const MelVector& a, const MelVector& b, char op)
{
    MelVector out{};
    for (int k = 0; k < 3; ++k)
        out[k] = op == '+' ? a[k] + b[k] : op == '-' ? a[k] - b[k] : op == '*' ? a[k] * b[k] : a[k] / b[k];
    return out;
}

int compareStrings(const std::string& a, const std::string& b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Drops error messages while alive (catchQuiet); the rest still go out.
class QuietErrors
{
public:
    QuietErrors()
    {
        fPrevious = std::make_shared<MessageSink>();
        std::shared_ptr<MessageSink> previous = fPrevious;
        *fPrevious = setMessageSink([previous](MessageKind kind, const MString& text) {
            if (kind == MessageKind::kError)
                return;
            if (*previous) {
                (*previous)(kind, text);
            } else {
                // The default sink: put it back just for this message.
                MessageSink self = setMessageSink(MessageSink());
                writeMessage(kind, text);
                setMessageSink(std::move(self));
            }
        });
    }
    ~QuietErrors() { setMessageSink(*fPrevious); }

private:
    std::shared_ptr<MessageSink> fPrevious;
};

bool equalValues(const MelData& a, const MelData& b)
{
    if (a.kind == MelData::kString || b.kind == MelData::kString)
        return melToString(a) == melToString(b);
    if (isVectorLike(a) || isVectorLike(b))
        return melToVector(a) == melToVector(b);
    if (a.kind == MelData::kInt && b.kind == MelData::kInt)
        return a.i == b.i;
    return melToFloat(a) == melToFloat(b);
}

} // namespace

// Puts the visible variables back as they were when the scope ends, however it ends.
class MelScopeRestore
{
public:
    explicit MelScopeRestore(MelEvaluator& evaluator)
        : fEvaluator(evaluator), fSize(evaluator.fScope.size()), fBlockBase(evaluator.fBlockBase)
    {
        evaluator.fBlockBase = fSize;
    }
    ~MelScopeRestore()
    {
        fEvaluator.fScope.resize(fSize);
        fEvaluator.fBlockBase = fBlockBase;
    }

private:
    MelEvaluator& fEvaluator;
    size_t fSize;
    size_t fBlockBase;
};

// A procedure's (or an eval's, or a sourced file's) own view of variables and unit.
class MelFrameRestore
{
public:
    MelFrameRestore(MelEvaluator& evaluator, MelUnit* unit, bool ownVariables)
        : fEvaluator(evaluator),
          fScope(evaluator),
          fFrameBase(evaluator.fFrameBase),
          fUnit(evaluator.fUnit),
          fUnitResult(evaluator.fUnitResult)
    {
        if (ownVariables)
            evaluator.fFrameBase = evaluator.fScope.size();
        evaluator.fUnit = unit;
        ++evaluator.fNested;
    }
    ~MelFrameRestore()
    {
        fEvaluator.fFrameBase = fFrameBase;
        fEvaluator.fUnit = fUnit;
        fEvaluator.fUnitResult = fUnitResult;
        --fEvaluator.fNested;
    }

private:
    MelEvaluator& fEvaluator;
    MelScopeRestore fScope;
    size_t fFrameBase;
    MelUnit* fUnit;
    MelData* fUnitResult;
};

void MelCall::expectCount(size_t min, size_t max) const
{
    if (args.size() < min || args.size() > max)
        fail("Wrong number of arguments on call to " + name() + ".");
}

void MelCall::fail(const std::string& message) const
{
    evaluator.fail(node.line, message);
}

MelEvaluator::MelEvaluator(const MelInterpreter::Options& options) : fOptions(options) {}

MelEvaluator::~MelEvaluator() = default;

std::string MelEvaluator::where(int line) const
{
    if (fUnit && !fUnit->sourceName.empty())
        return fUnit->sourceName + " line " + std::to_string(line);
    return "Line " + std::to_string(line);
}

void MelEvaluator::fail(int line, const std::string& message, MStatus status)
{
    const std::string text = where(line) + ": " + message;
    MGlobal::displayError(MString(text.c_str(), static_cast<int>(text.size())));
    throw MelFailure{status};
}

MStatus MelEvaluator::runScript(const char* text, size_t length, MelValue* lastResult)
{
    fRootUnit = std::make_shared<MelUnit>();
    fRootUnit->sourceName = fOptions.sourceName.asChar();
    fUnit = fRootUnit.get();
    MelParser parser(text, length);
    if (gCallDepth == 0)
        gLoopIterations = 0;
    try {
        // A script run from a command inside another script counts as a call.
        CallDepth depth(*this, 1);
        MelData last = runUnit(parser, fRootUnit);
        if (lastResult && last.kind != MelData::kNone)
            *lastResult = toMelValue(last);
    } catch (const MelFailure& failure) {
        return failure.status ? MStatus(MS::kFailure) : failure.status;
    } catch (const MelQuit&) {
        // The session is ending: nothing more runs, and nothing failed.
    }
    return MS::kSuccess;
}

MelData MelEvaluator::runUnit(MelParser& parser, const std::shared_ptr<MelUnit>& unit)
{
    MelData last;
    MelData* outer = fUnitResult;
    fUnitResult = &last;
    struct Restore
    {
        MelData*& slot;
        MelData* value;
        ~Restore() { slot = value; }
    } restore{fUnitResult, outer};
    for (;;) {
        MelNodePtr statement;
        try {
            statement = parser.nextStatement();
        } catch (const MelSyntaxError& error) {
            fail(error.line, error.message);
        }
        if (!statement)
            break;
        if (statement->kind == MelNode::kProcedure) {
            statement->procedure->unit = unit.get();
            if (statement->procedure->global)
                statement->procedure->keepUnit = unit;
        }
        if (execute(*statement) == Flow::kReturn)
            break;
    }
    return last;
}

MelEvaluator::Flow MelEvaluator::execute(const MelNode& node)
{
    switch (node.kind) {
    case MelNode::kEmpty: return Flow::kNormal;
    case MelNode::kBlock: return executeBlock(node);
    case MelNode::kExpressionStatement: {
        const MelNode& expression = *node.kids[0];
        MelData value = evaluate(expression);
        if (node.topLevel && value.kind != MelData::kNone) {
            const bool isCall = expression.kind == MelNode::kCall || expression.kind == MelNode::kCatch;
            if (isCall && fNested == 0 && fOptions.onResult)
                fOptions.onResult(toMelValue(value));
            if (fUnitResult)
                *fUnitResult = std::move(value);
        }
        return Flow::kNormal;
    }
    case MelNode::kDeclaration: return executeDeclaration(node);
    case MelNode::kIf: {
        if (melTruth(evaluate(*node.kids[0])))
            return execute(*node.kids[1]);
        if (node.kids[2])
            return execute(*node.kids[2]);
        return Flow::kNormal;
    }
    case MelNode::kWhile:
        while (melTruth(evaluate(*node.kids[0]))) {
            countIteration(node.line);
            const Flow flow = execute(*node.kids[1]);
            if (flow == Flow::kBreak)
                break;
            if (flow == Flow::kReturn)
                return flow;
        }
        return Flow::kNormal;
    case MelNode::kDoWhile:
        do {
            countIteration(node.line);
            const Flow flow = execute(*node.kids[0]);
            if (flow == Flow::kBreak)
                break;
            if (flow == Flow::kReturn)
                return flow;
        } while (melTruth(evaluate(*node.kids[1])));
        return Flow::kNormal;
    case MelNode::kFor: return executeFor(node);
    case MelNode::kForIn: return executeForIn(node);
    case MelNode::kSwitch: return executeSwitch(node);
    case MelNode::kBreak: return Flow::kBreak;
    case MelNode::kContinue: return Flow::kContinue;
    case MelNode::kReturn:
        fReturnValue = node.kids.empty() ? MelData() : evaluate(*node.kids[0]);
        return Flow::kReturn;
    case MelNode::kProcedure: defineProcedure(node); return Flow::kNormal;
    case MelNode::kSource: source(node.text, node.line); return Flow::kNormal;
    default:
        // An expression where a statement was expected cannot come from the parser.
        evaluate(node);
        return Flow::kNormal;
    }
}

MelEvaluator::Flow MelEvaluator::executeBlock(const MelNode& node)
{
    MelScopeRestore scope(*this);
    for (const MelNodePtr& statement : node.kids) {
        const Flow flow = execute(*statement);
        if (flow != Flow::kNormal)
            return flow;
    }
    return Flow::kNormal;
}

MelEvaluator::Flow MelEvaluator::executeDeclaration(const MelNode& node)
{
    for (const MelNodePtr& declaratorPtr : node.kids) {
        const MelNode& declarator = *declaratorPtr;
        const std::string& name = declarator.text;
        MelData initial;
        const bool initialized = declarator.kids[0] != nullptr;
        if (initialized)
            initial = evaluate(*declarator.kids[0]);
        if (node.global) {
            MelVariablePtr& global = globalVariables()[name];
            if (!global) {
                global = std::make_shared<MelVariable>();
                global->type = node.type;
                global->array = declarator.array;
                global->value = MelData::empty(node.type, declarator.array);
            } else if (global->type != node.type || global->array != declarator.array) {
                fail(declarator.line, "$" + name + " is already declared as a global " +
                                          melTypeName(global->type, global->array) + ".");
            }
            MelVariable* visible = lookup(name);
            if (visible != global.get())
                fScope.emplace_back(name, global);
            if (initialized)
                store(*global, initial, declarator.line, name);
            continue;
        }
        MelVariable& variable = declare(name, node.type, declarator.array, declarator.line);
        if (declarator.kids.size() > 1) {
            // Sizes: "$a[5]" holds five empty elements, "$m[2][3]" is a 2x3 zero matrix.
            std::vector<int64_t> sizes;
            for (size_t k = 1; k < declarator.kids.size(); ++k) {
                const int64_t size = melToInt(evaluate(*declarator.kids[k]));
                if (size < 0 || size > kMaxArraySize)
                    fail(declarator.line, "Invalid array size " + std::to_string(size) + ".");
                sizes.push_back(size);
            }
            if (node.type == MelType::kMatrix) {
                if (sizes[0] * sizes[1] > kMaxArraySize)
                    fail(declarator.line, "Invalid matrix size.");
                variable.value.rows = static_cast<int>(sizes[0]);
                variable.value.columns = static_cast<int>(sizes[1]);
                variable.value.floats.assign(static_cast<size_t>(sizes[0] * sizes[1]), 0.0);
            } else {
                const size_t size = static_cast<size_t>(sizes[0]);
                switch (variable.value.kind) {
                case MelData::kIntArray: variable.value.ints.resize(size); break;
                case MelData::kFloatArray: variable.value.floats.resize(size); break;
                case MelData::kStringArray: variable.value.strings.resize(size); break;
                default: variable.value.vectors.resize(size); break;
                }
            }
        }
        if (initialized)
            store(variable, initial, declarator.line, name);
        if (node.topLevel && fUnitResult && initialized)
            *fUnitResult = variable.value;
    }
    return Flow::kNormal;
}

void MelEvaluator::setLoopIterationLimit(uint64_t limit)
{
    gLoopIterationLimit = limit;
}

void MelEvaluator::countIteration(int line)
{
    const uint64_t limit = gLoopIterationLimit;
    if (limit != 0 && ++gLoopIterations > limit)
        fail(line, "Loop iteration limit of " + std::to_string(limit) + " reached.");
}

MelEvaluator::Flow MelEvaluator::executeFor(const MelNode& node)
{
    // Only braces open a scope: a variable the initializer declares is still
    // there after the loop, as in MEL.
    for (const MelNodePtr& initializer : node.kids[0]->kids)
        execute(*initializer);
    for (;;) {
        if (node.kids[1] && !melTruth(evaluate(*node.kids[1])))
            break;
        countIteration(node.line);
        const Flow flow = execute(*node.kids[3]);
        if (flow == Flow::kBreak)
            break;
        if (flow == Flow::kReturn)
            return flow;
        for (const MelNodePtr& step : node.kids[2]->kids)
            execute(*step);
    }
    return Flow::kNormal;
}

MelEvaluator::Flow MelEvaluator::executeForIn(const MelNode& node)
{
    const MelNode& target = *node.kids[0];
    // The list is copied: the body may change the array it walks.
    MelData list = evaluate(*node.kids[1]);
    if (!list.isArray())
        fail(node.line, std::string("for-in needs an array, not a ") + list.typeName() + ".");
    MelVariable* variable = target.global ? nullptr : lookup(target.text);
    if (!variable) {
        MelType type = target.type;
        if (!target.global) {
            switch (list.kind) {
            case MelData::kIntArray: type = MelType::kInt; break;
            case MelData::kFloatArray: type = MelType::kFloat; break;
            case MelData::kStringArray: type = MelType::kString; break;
            default: type = MelType::kVector; break;
            }
        }
        variable = &declare(target.text, type, false, target.line);
    }
    const size_t count = list.arraySize();
    for (size_t k = 0; k < count; ++k) {
        switch (list.kind) {
        case MelData::kIntArray: store(*variable, MelData::ofInt(list.ints[k]), target.line, target.text); break;
        case MelData::kFloatArray: store(*variable, MelData::ofFloat(list.floats[k]), target.line, target.text); break;
        case MelData::kStringArray: store(*variable, MelData::ofString(list.strings[k]), target.line, target.text); break;
        default: store(*variable, MelData::ofVector(list.vectors[k]), target.line, target.text); break;
        }
        const Flow flow = execute(*node.kids[2]);
        if (flow == Flow::kBreak)
            break;
        if (flow == Flow::kReturn)
            return flow;
    }
    return Flow::kNormal;
}

MelEvaluator::Flow MelEvaluator::executeSwitch(const MelNode& node)
{
    const MelData value = evaluate(*node.kids[0]);
    size_t start = 0;
    size_t fallback = 0;
    for (size_t k = 1; k < node.kids.size() && start == 0; ++k) {
        const MelNode& label = *node.kids[k];
        if (label.kind != MelNode::kCase)
            continue;
        if (label.kids.empty()) {
            if (fallback == 0)
                fallback = k;
        } else if (equalValues(value, evaluate(*label.kids[0]))) {
            start = k;
        }
    }
    if (start == 0)
        start = fallback;
    if (start == 0)
        return Flow::kNormal;
    MelScopeRestore scope(*this);
    // Falls through the labels that follow, as MEL does, until a break.
    for (size_t k = start + 1; k < node.kids.size(); ++k) {
        if (node.kids[k]->kind == MelNode::kCase)
            continue;
        const Flow flow = execute(*node.kids[k]);
        if (flow == Flow::kBreak)
            break;
        if (flow != Flow::kNormal)
            return flow;
    }
    return Flow::kNormal;
}

void MelEvaluator::defineProcedure(const MelNode& node)
{
    std::shared_ptr<MelProcedure> procedure = node.procedure;
    if (!procedure->unit)
        procedure->unit = fUnit;
    if (procedure->global)
        globalProcedures()[procedure->name] = procedure;
    else if (fUnit)
        fUnit->localProcedures[procedure->name] = procedure;
}

void MelEvaluator::source(const std::string& file, int line)
{
    const std::string path = findScript(file, true);
    if (path.empty())
        fail(line, "Cannot find file \"" + file + "\" for source statement.");
    std::string text;
    if (!readFile(path, text))
        fail(line, "Cannot read file \"" + path + "\" for source statement.");
    CallDepth depth(*this, line);
    auto unit = std::make_shared<MelUnit>();
    unit->sourceName = path;
    MelFrameRestore frame(*this, unit.get(), true);
    MelParser parser(text.data(), text.size());
    runUnit(parser, unit);
}

MelData MelEvaluator::evalText(const std::string& text, int line)
{
    CallDepth depth(*this, line);
    auto unit = std::make_shared<MelUnit>();
    // Inside a procedure eval sees only globals; at the top level, the script's variables.
    MelFrameRestore frame(*this, unit.get(), fProcedureDepth > 0);
    MelParser parser(text.data(), text.size());
    return runUnit(parser, unit);
}

MelVariable* MelEvaluator::lookup(const std::string& name) const
{
    for (size_t k = fScope.size(); k > fFrameBase; --k)
        if (fScope[k - 1].first == name)
            return fScope[k - 1].second.get();
    return nullptr;
}

MelVariable& MelEvaluator::declare(const std::string& name, MelType type, bool array, int line)
{
    // Declared again in the same block: the same variable, if of the same type.
    for (size_t k = fScope.size(); k > fBlockBase && k > fFrameBase; --k) {
        MelVariable& existing = *fScope[k - 1].second;
        if (fScope[k - 1].first != name)
            continue;
        if (existing.type != type || existing.array != array)
            fail(line, "$" + name + " is already declared as " + melTypeName(existing.type, existing.array) + ".");
        return existing;
    }
    auto variable = std::make_shared<MelVariable>();
    variable->type = type;
    variable->array = array;
    variable->value = MelData::empty(type, array);
    fScope.emplace_back(name, variable);
    return *variable;
}

void MelEvaluator::store(MelVariable& variable, const MelData& value, int line, const std::string& name)
{
    if (value.kind == MelData::kNone || !melConvert(value, variable.type, variable.array, variable.value))
        fail(line, std::string("Cannot convert data of type ") + value.typeName() + " to type " +
                       melTypeName(variable.type, variable.array) + ".");
}

int64_t MelEvaluator::index(const MelNode& node, int line)
{
    const MelData value = evaluate(node);
    if (!value.isNumber() && value.kind != MelData::kString)
        fail(line, std::string("An array index must be a number, not a ") + value.typeName() + ".");
    return melToInt(value);
}

MelData MelEvaluator::readVariable(const MelNode& node)
{
    MelVariable* variable = lookup(node.text);
    if (!variable)
        fail(node.line, "$" + node.text + " is an undeclared variable.");
    const MelData& stored = variable->value;
    MelData value;
    if (node.kids.empty()) {
        value = stored;
    } else if (stored.kind == MelData::kMatrix) {
        if (node.kids.size() != 2)
            fail(node.line, "$" + node.text + " is a matrix: use $" + node.text + "[row][column].");
        const int64_t row = index(*node.kids[0], node.line), column = index(*node.kids[1], node.line);
        if (row < 0 || column < 0 || row >= stored.rows || column >= stored.columns)
            fail(node.line, "Matrix index out of range for $" + node.text + ".");
        value = MelData::ofFloat(stored.floats[static_cast<size_t>(row * stored.columns + column)]);
    } else {
        if (!stored.isArray())
            fail(node.line, "$" + node.text + " is not an array.");
        if (node.kids.size() != 1)
            fail(node.line, "$" + node.text + " has one index.");
        const int64_t k = index(*node.kids[0], node.line);
        if (k < 0)
            fail(node.line, "Array index out of range: " + std::to_string(k));
        // Reading past the end gives the element type's empty value, as in MEL.
        const size_t i = static_cast<size_t>(k);
        const bool inRange = i < stored.arraySize();
        switch (stored.kind) {
        case MelData::kIntArray: value = MelData::ofInt(inRange ? stored.ints[i] : 0); break;
        case MelData::kFloatArray: value = MelData::ofFloat(inRange ? stored.floats[i] : 0.0); break;
        case MelData::kStringArray: value = MelData::ofString(inRange ? stored.strings[i] : std::string()); break;
        default: value = MelData::ofVector(inRange ? stored.vectors[i] : MelVector{}); break;
        }
    }
    if (node.member) {
        if (value.kind != MelData::kVector)
            fail(node.line, std::string("Only a vector has a .") + node.member + " component.");
        return MelData::ofFloat(value.v[static_cast<size_t>(node.member - 'x')]);
    }
    return value;
}

const MelData& MelEvaluator::evaluateRef(const MelNode& node, MelData& scratch)
{
    if (node.kind == MelNode::kVariable && node.kids.empty() && node.member == 0) {
        MelVariable* variable = lookup(node.text);
        if (!variable)
            fail(node.line, "$" + node.text + " is an undeclared variable.");
        return variable->value;
    }
    scratch = evaluate(node);
    return scratch;
}

MelData MelEvaluator::evaluate(const MelNode& node)
{
    switch (node.kind) {
    case MelNode::kIntLiteral: return MelData::ofInt(node.intValue);
    case MelNode::kFloatLiteral: return MelData::ofFloat(node.floatValue);
    case MelNode::kStringLiteral:
    case MelNode::kFlag: return MelData::ofString(node.text);
    case MelNode::kVariable: return readVariable(node);
    case MelNode::kArrayLiteral: return arrayLiteral(node);
    case MelNode::kVectorLiteral: return vectorLiteral(node);
    case MelNode::kUnary: {
        const MelData operand = evaluate(*node.kids[0]);
        if (node.text == "!")
            return MelData::ofInt(melTruth(operand) ? 0 : 1);
        switch (operand.kind) {
        case MelData::kInt:
            if (operand.i == INT64_MIN)
                return MelData::ofFloat(-static_cast<double>(operand.i));
            return MelData::ofInt(-operand.i);
        case MelData::kVector: return MelData::ofVector(MelVector{-operand.v[0], -operand.v[1], -operand.v[2]});
        case MelData::kFloat:
        case MelData::kString: return MelData::ofFloat(-melToFloat(operand));
        default: fail(node.line, std::string("'-' cannot be applied to a ") + operand.typeName() + ".");
        }
    }
    case MelNode::kBinary: return binaryChain(node);
    case MelNode::kTernary:
        return melTruth(evaluate(*node.kids[0])) ? evaluate(*node.kids[1]) : evaluate(*node.kids[2]);
    case MelNode::kAssign: return assign(node);
    case MelNode::kIncrement: return increment(node);
    case MelNode::kCall: return call(node);
    case MelNode::kCatch: return catchFailure(node);
    default: fail(node.line, "Syntax error: a statement where a value was expected.");
    }
}

MelData MelEvaluator::arrayLiteral(const MelNode& node)
{
    std::vector<MelData> items;
    items.reserve(node.kids.size());
    bool anyFloat = false, anyString = false, anyVector = false;
    for (const MelNodePtr& kid : node.kids) {
        items.push_back(evaluate(*kid));
        const MelData& item = items.back();
        if (item.isArray() || item.kind == MelData::kMatrix || item.kind == MelData::kNone)
            fail(kid->line, std::string("An array literal cannot hold a ") + item.typeName() + ".");
        anyFloat |= item.kind == MelData::kFloat;
        anyString |= item.kind == MelData::kString;
        anyVector |= item.kind == MelData::kVector;
    }
    MelData out;
    if (anyString || items.empty()) {
        out.kind = MelData::kStringArray;
        for (const MelData& item : items)
            out.strings.push_back(melToString(item));
    } else if (anyVector) {
        out.kind = MelData::kVectorArray;
        for (const MelData& item : items)
            out.vectors.push_back(melToVector(item));
    } else if (anyFloat) {
        out.kind = MelData::kFloatArray;
        for (const MelData& item : items)
            out.floats.push_back(melToFloat(item));
    } else {
        out.kind = MelData::kIntArray;
        for (const MelData& item : items)
            out.ints.push_back(item.i);
    }
    return out;
}

MelData MelEvaluator::vectorLiteral(const MelNode& node)
{
    std::vector<double> numbers;
    for (const MelNodePtr& kid : node.kids) {
        const MelData item = evaluate(*kid);
        if (item.isArray() || item.kind == MelData::kVector || item.kind == MelData::kMatrix)
            fail(kid->line, std::string("A vector component cannot be a ") + item.typeName() + ".");
        numbers.push_back(melToFloat(item));
    }
    if (node.rowLengths.size() == 1)
        return MelData::ofVector(MelVector{numbers[0], numbers[1], numbers[2]});
    MelData matrix;
    matrix.kind = MelData::kMatrix;
    matrix.rows = static_cast<int>(node.rowLengths.size());
    matrix.columns = node.rowLengths[0];
    matrix.floats = std::move(numbers);
    return matrix;
}

MelData MelEvaluator::binaryChain(const MelNode& node)
{
    MelData value = evaluate(*node.kids[0]);
    for (size_t k = 1; k < node.kids.size(); ++k) {
        const std::string& op = node.operators[k - 1];
        if (op == "&&" || op == "||") {
            // Short-circuit: the right side runs only when it decides the result.
            const bool left = melTruth(value);
            if (op == "&&" ? !left : left) {
                value = MelData::ofInt(left ? 1 : 0);
                continue;
            }
            value = MelData::ofInt(melTruth(evaluate(*node.kids[k])) ? 1 : 0);
            continue;
        }
        const MelData right = evaluate(*node.kids[k]);
        value = operate(op, value, right, node.kids[k]->line);
    }
    return value;
}

MelData MelEvaluator::operate(const std::string& op, const MelData& left, const MelData& right, int line)
{
    if (left.isArray() || right.isArray() || left.kind == MelData::kNone || right.kind == MelData::kNone) {
        const MelData& bad = left.isArray() || left.kind == MelData::kNone ? left : right;
        fail(line, "'" + op + "' cannot be applied to a " + bad.typeName() + ".");
    }
    const char c = op[0];
    const bool comparison = op == "==" || op == "!=" || op == "<" || op == ">" || op == "<=" || op == ">=";
    if (comparison) {
        if (op == "==" || op == "!=")
            return MelData::ofInt(equalValues(left, right) == (op == "=="));
        int order;
        if (left.kind == MelData::kString && right.kind == MelData::kString)
            order = compareStrings(left.s, right.s);
        else if (left.kind == MelData::kInt && right.kind == MelData::kInt)
            order = left.i < right.i ? -1 : left.i > right.i ? 1 : 0;
        else {
            const double a = melToFloat(left), b = melToFloat(right);
            order = a < b ? -1 : a > b ? 1 : 0;
        }
        const bool result = op == "<" ? order < 0 : op == ">" ? order > 0 : op == "<=" ? order <= 0 : order >= 0;
        return MelData::ofInt(result ? 1 : 0);
    }
    if (left.kind == MelData::kMatrix || right.kind == MelData::kMatrix) {
        if (c == '*' && left.kind == MelData::kMatrix && right.kind == MelData::kMatrix) {
            if (left.columns != right.rows)
                fail(line, "The matrices cannot be multiplied: their sizes do not match.");
            MelData product;
            product.kind = MelData::kMatrix;
            product.rows = left.rows;
            product.columns = right.columns;
            product.floats.assign(static_cast<size_t>(left.rows * right.columns), 0.0);
            for (int r = 0; r < left.rows; ++r)
                for (int col = 0; col < right.columns; ++col)
                    for (int k = 0; k < left.columns; ++k)
                        product.floats[static_cast<size_t>(r * right.columns + col)] +=
                            left.floats[static_cast<size_t>(r * left.columns + k)] *
                            right.floats[static_cast<size_t>(k * right.columns + col)];
            return product;
        }
        if ((c == '+' || c == '-') && left.kind == MelData::kMatrix && right.kind == MelData::kMatrix) {
            if (left.rows != right.rows || left.columns != right.columns)
                fail(line, "The matrices cannot be added: their sizes do not match.");
            MelData sum = left;
            for (size_t k = 0; k < sum.floats.size(); ++k)
                sum.floats[k] += c == '+' ? right.floats[k] : -right.floats[k];
            return sum;
        }
        if (c == '*' && (left.isNumber() || right.isNumber())) {
            MelData scaled = left.kind == MelData::kMatrix ? left : right;
            const double factor = melToFloat(left.kind == MelData::kMatrix ? right : left);
            for (double& cell : scaled.floats)
                cell *= factor;
            return scaled;
        }
        fail(line, "'" + op + "' cannot be applied to a matrix here.");
    }
    if (c == '+' && (left.kind == MelData::kString || right.kind == MelData::kString)) {
        std::string joined = melToString(left);
        const std::string tail = melToString(right);
        if (joined.size() + tail.size() > kMaxStringSize)
            fail(line, "The string would be longer than " + std::to_string(kMaxStringSize) + " characters.");
        return MelData::ofString(joined.append(tail));
    }
    if (left.kind == MelData::kString || right.kind == MelData::kString)
        fail(line, "'" + op + "' cannot be applied to a string.");
    if (isVectorLike(left) || isVectorLike(right)) {
        const MelVector a = melToVector(left), b = melToVector(right);
        switch (c) {
        case '+':
        case '-': return MelData::ofVector(combine(a, b, c));
        case '*':
            if (isVectorLike(left) && isVectorLike(right))
                return MelData::ofFloat(a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
            return MelData::ofVector(combine(a, b, '*'));
        case '/':
            if (isVectorLike(right))
                fail(line, "A vector cannot divide.");
            return MelData::ofVector(combine(a, b, '/'));
        case '^':
            if (!isVectorLike(left) || !isVectorLike(right))
                fail(line, "'^' (cross product) needs two vectors.");
            return MelData::ofVector(
                MelVector{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]});
        default: fail(line, "'" + op + "' cannot be applied to a vector.");
        }
    }
    if (c == '^')
        fail(line, "'^' (cross product) needs two vectors.");
    if (left.kind == MelData::kInt && right.kind == MelData::kInt) {
        const int64_t a = left.i, b = right.i;
        int64_t result = 0;
        switch (c) {
        case '+': {
            const bool fits = !__builtin_add_overflow(a, b, &result);
            return intOrFloat(fits, result, double(a) + double(b));
        }
        case '-': {
            const bool fits = !__builtin_sub_overflow(a, b, &result);
            return intOrFloat(fits, result, double(a) - double(b));
        }
        case '*': {
            const bool fits = !__builtin_mul_overflow(a, b, &result);
            return intOrFloat(fits, result, double(a) * double(b));
        }
        case '/':
        case '%':
            if (b == 0)
                fail(line, "Division by zero.");
            if (a == INT64_MIN && b == -1)
                return c == '/' ? MelData::ofFloat(-double(a)) : MelData::ofInt(0);
            return MelData::ofInt(c == '/' ? a / b : a % b);
        default: break;
        }
    }
    const double a = melToFloat(left), b = melToFloat(right);
    switch (c) {
    case '+': return MelData::ofFloat(a + b);
    case '-': return MelData::ofFloat(a - b);
    case '*': return MelData::ofFloat(a * b);
    case '/': return MelData::ofFloat(a / b);
    case '%': return MelData::ofFloat(std::fmod(a, b));
    default: fail(line, "Syntax error: unknown operator '" + op + "'.");
    }
}

MelData MelEvaluator::assign(const MelNode& node)
{
    const MelNode& target = *node.kids[0];
    MelData value = evaluate(*node.kids[1]);
    if (node.text != "=") {
        MelData current = readVariable(target);
        value = operate(node.text.substr(0, 1), current, value, node.line);
    }
    MelVariable* variable = lookup(target.text);
    if (!variable) {
        if (!target.kids.empty())
            fail(target.line, "$" + target.text + " is an undeclared variable.");
        // Assigning declares the variable with the value's type, as MEL does.
        MelType type = MelType::kString;
        bool array = value.isArray();
        switch (value.kind) {
        case MelData::kInt: case MelData::kIntArray: type = MelType::kInt; break;
        case MelData::kFloat: case MelData::kFloatArray: type = MelType::kFloat; break;
        case MelData::kVector: case MelData::kVectorArray: type = MelType::kVector; break;
        case MelData::kMatrix: type = MelType::kMatrix; array = false; break;
        case MelData::kNone:
            fail(node.line, "$" + target.text + " cannot be assigned a value from a procedure that returns none.");
        default: break;
        }
        variable = &declare(target.text, type, array, target.line);
    }
    if (target.kids.empty()) {
        store(*variable, value, node.line, target.text);
        return variable->value;
    }
    storeElement(*variable, target, value);
    return readVariable(target);
}

void MelEvaluator::storeElement(MelVariable& variable, const MelNode& target, const MelData& value)
{
    MelData& stored = variable.value;
    const int line = target.line;
    if (value.isArray() || value.kind == MelData::kNone || value.kind == MelData::kMatrix)
        fail(line, std::string("Cannot convert data of type ") + value.typeName() + " to an element of $" +
                       target.text + ".");
    if (stored.kind == MelData::kMatrix) {
        if (target.kids.size() != 2)
            fail(line, "$" + target.text + " is a matrix: use $" + target.text + "[row][column].");
        const int64_t row = index(*target.kids[0], line), column = index(*target.kids[1], line);
        if (row < 0 || column < 0 || row >= stored.rows || column >= stored.columns)
            fail(line, "Matrix index out of range for $" + target.text + ".");
        stored.floats[static_cast<size_t>(row * stored.columns + column)] = melToFloat(value);
        return;
    }
    if (!stored.isArray())
        fail(line, "$" + target.text + " is not an array.");
    if (target.kids.size() != 1)
        fail(line, "$" + target.text + " has one index.");
    const int64_t k = index(*target.kids[0], line);
    if (k < 0 || k >= kMaxArraySize)
        fail(line, "Array index out of range: " + std::to_string(k));
    const size_t i = static_cast<size_t>(k);
    // Assigning past the end grows the array, as MEL does.
    switch (stored.kind) {
    case MelData::kIntArray:
        if (stored.ints.size() <= i)
            stored.ints.resize(i + 1);
        stored.ints[i] = melToInt(value);
        break;
    case MelData::kFloatArray:
        if (stored.floats.size() <= i)
            stored.floats.resize(i + 1);
        stored.floats[i] = melToFloat(value);
        break;
    case MelData::kStringArray:
        if (stored.strings.size() <= i)
            stored.strings.resize(i + 1);
        stored.strings[i] = melToString(value);
        break;
    default:
        if (stored.vectors.size() <= i)
            stored.vectors.resize(i + 1);
        stored.vectors[i] = melToVector(value);
        break;
    }
}

MelData MelEvaluator::increment(const MelNode& node)
{
    const MelNode& target = *node.kids[0];
    const MelData before = readVariable(target);
    if (!before.isNumber())
        fail(node.line, "'" + node.text + "' needs a number, not a " + before.typeName() + ".");
    MelData one = MelData::ofInt(1);
    MelData after = operate(node.text == "++" ? "+" : "-", before, one, node.line);
    MelVariable* variable = lookup(target.text);
    if (target.kids.empty())
        store(*variable, after, node.line, target.text);
    else
        storeElement(*variable, target, after);
    return node.prefix ? readVariable(target) : before;
}

MelData MelEvaluator::catchFailure(const MelNode& node)
{
    try {
        if (node.quiet) {
            QuietErrors quiet;
            evaluate(*node.kids[0]);
        } else {
            evaluate(*node.kids[0]);
        }
    } catch (const MelFailure&) {
        return MelData::ofInt(1);
    }
    return MelData::ofInt(0);
}

std::shared_ptr<MelProcedure> MelEvaluator::findProcedure(const std::string& name) const
{
    if (fUnit) {
        auto local = fUnit->localProcedures.find(name);
        if (local != fUnit->localProcedures.end())
            return local->second;
    }
    auto global = globalProcedures().find(name);
    if (global != globalProcedures().end())
        return global->second;
    return nullptr;
}

bool MelEvaluator::procedureExists(const std::string& name)
{
    return findProcedure(name) || findMelBuiltin(name) || findCommand(MString(name.c_str())) ||
           !findScript(name, false).empty();
}

std::string MelEvaluator::whatIs(const std::string& name)
{
    if (!name.empty() && name[0] == '$') {
        MelVariable* variable = lookup(name.substr(1));
        if (!variable)
            return "Unknown";
        return std::string(melTypeName(variable->type, variable->array)) + " variable";
    }
    if (std::shared_ptr<MelProcedure> procedure = findProcedure(name)) {
        if (procedure->unit && !procedure->unit->sourceName.empty())
            return "Mel procedure found in: " + procedure->unit->sourceName;
        return "Mel procedure entered interactively.";
    }
    if (findMelBuiltin(name) || findCommand(MString(name.c_str())))
        return "Command";
    const std::string script = findScript(name, false);
    if (!script.empty())
        return "Script found in: " + script;
    return "Unknown";
}

bool MelEvaluator::autoload(const std::string& name, int line)
{
    // An unknown procedure is looked for as NAME.mel on MAYA_SCRIPT_PATH, as Maya does.
    const std::string script = findScript(name, false);
    if (script.empty())
        return false;
    source(script, line);
    return findProcedure(name) != nullptr;
}

MelData MelEvaluator::call(const MelNode& node)
{
    std::shared_ptr<MelProcedure> procedure = findProcedure(node.text);
    if (procedure)
        return callProcedure(*procedure, node);
    if (MelBuiltin builtin = findMelBuiltin(node.text))
        return callBuiltin(builtin, node);
    if (const CommandEntry* entry = findCommand(MString(node.text.c_str())))
        return runCommand(*entry, node);
    if (autoload(node.text, node.line))
        return callProcedure(*findProcedure(node.text), node);
    fail(node.line, "Cannot find procedure \"" + node.text + "\".");
}

MelData MelEvaluator::callProcedure(const MelProcedure& procedure, const MelNode& node)
{
    if (node.kids.size() != procedure.parameters.size())
        fail(node.line, "Wrong number of arguments on call to " + procedure.name + ".");
    // Arguments are evaluated in the caller's scope; arrays named by a plain
    // variable of the parameter's type are passed by reference, as in MEL.
    std::vector<MelVariablePtr> bound;
    bound.reserve(node.kids.size());
    for (size_t k = 0; k < node.kids.size(); ++k) {
        const MelParameter& parameter = procedure.parameters[k];
        const MelNode& argument = *node.kids[k];
        if (parameter.array && argument.kind == MelNode::kVariable && argument.kids.empty() && !argument.member) {
            for (size_t s = fScope.size(); s > fFrameBase; --s) {
                if (fScope[s - 1].first == argument.text) {
                    const MelVariablePtr& variable = fScope[s - 1].second;
                    if (variable->array && variable->type == parameter.type)
                        bound.push_back(variable);
                    break;
                }
            }
            if (bound.size() == k + 1)
                continue;
        }
        auto variable = std::make_shared<MelVariable>();
        variable->type = parameter.type;
        variable->array = parameter.array;
        MelData value = evaluate(argument);
        if (value.kind == MelData::kNone || !melConvert(value, parameter.type, parameter.array, variable->value))
            fail(argument.line, std::string("Cannot convert data of type ") + value.typeName() + " to type " +
                                    melTypeName(parameter.type, parameter.array) + " for argument " +
                                    std::to_string(k + 1) + " of " + procedure.name + ".");
        bound.push_back(std::move(variable));
    }
    CallDepth depth(*this, node.line);
    MelFrameRestore frame(*this, procedure.unit, true);
    struct ProcedureDepth
    {
        int& depth;
        explicit ProcedureDepth(int& d) : depth(d) { ++depth; }
        ~ProcedureDepth() { --depth; }
    } procedureDepth(fProcedureDepth);
    fUnitResult = nullptr;
    for (size_t k = 0; k < bound.size(); ++k)
        fScope.emplace_back(procedure.parameters[k].name, std::move(bound[k]));
    fReturnValue = MelData();
    const Flow flow = executeBlock(*procedure.body);
    MelData result;
    if (flow == Flow::kReturn)
        result = std::move(fReturnValue);
    fReturnValue = MelData();
    if (!procedure.returnsValue)
        return MelData();
    if (result.kind == MelData::kNone)
        return MelData::empty(procedure.returnType, procedure.returnsArray);
    MelData converted;
    if (!melConvert(result, procedure.returnType, procedure.returnsArray, converted))
        fail(node.line, std::string("Cannot convert data of type ") + result.typeName() + " to type " +
                            melTypeName(procedure.returnType, procedure.returnsArray) + " returned by " +
                            procedure.name + ".");
    return converted;
}

MelData MelEvaluator::callBuiltin(MelBuiltin builtin, const MelNode& node)
{
    std::vector<MelData> scratch(node.kids.size());
    MelCall callInfo{*this, node, {}, {}};
    callInfo.args.reserve(node.kids.size());
    callInfo.variables.reserve(node.kids.size());
    for (size_t k = 0; k < node.kids.size(); ++k) {
        const MelNode& argument = *node.kids[k];
        MelVariable* variable = nullptr;
        if (argument.kind == MelNode::kVariable && argument.kids.empty() && !argument.member)
            variable = lookup(argument.text);
        callInfo.args.push_back(&evaluateRef(argument, scratch[k]));
        callInfo.variables.push_back(variable);
    }
    return builtin(callInfo);
}

MelData MelEvaluator::runCommand(const CommandEntry& entry, const MelNode& node)
{
    MArgList args;
    std::vector<Argument>& out = ArgListAccess::args(args);
    for (const MelNodePtr& kid : node.kids) {
        // A bare -flag, or in function syntax a literal "-flag" string.
        if (kid->kind == MelNode::kFlag ||
            (node.functionSyntax && kid->kind == MelNode::kStringLiteral && looksLikeFlag(kid->text.c_str()))) {
            out.push_back(Argument::fromFlag(MString(kid->text.c_str(), static_cast<int>(kid->text.size()))));
            continue;
        }
        MelData scratch;
        const MelData& value = evaluateRef(*kid, scratch);
        auto text = [](const std::string& s) { return MString(s.c_str(), static_cast<int>(s.size())); };
        switch (value.kind) {
        case MelData::kNone: break;
        case MelData::kInt: out.push_back(Argument::fromInt(value.i)); break;
        case MelData::kFloat: out.push_back(Argument::fromDouble(value.f)); break;
        case MelData::kString: out.push_back(Argument::fromString(text(value.s))); break;
        case MelData::kVector:
            for (double n : value.v)
                out.push_back(Argument::fromDouble(n));
            break;
        case MelData::kMatrix:
        case MelData::kFloatArray:
            for (double n : value.floats)
                out.push_back(Argument::fromDouble(n));
            break;
        case MelData::kIntArray:
            for (int64_t n : value.ints)
                out.push_back(Argument::fromInt(n));
            break;
        case MelData::kStringArray:
            for (const std::string& s : value.strings)
                out.push_back(Argument::fromString(text(s)));
            break;
        case MelData::kVectorArray:
            for (const MelVector& v : value.vectors)
                for (double n : v)
                    out.push_back(Argument::fromDouble(n));
            break;
        }
    }
    MelValue result;
    const unsigned long long errorsBefore = errorCount();
    MStatus status = CommandExecution::run(entry, args, result);
    if (!status) {
        // Say where the script stopped; and what failed, if the command did not.
        if (errorCount() == errorsBefore || (fUnit && !fUnit->sourceName.empty()))
            fail(node.line, node.text + " failed.", status);
        throw MelFailure{status};
    }
    if (sessionEndRequested())
        throw MelQuit{};
    return fromMelValue(result);
}

} // namespace host
