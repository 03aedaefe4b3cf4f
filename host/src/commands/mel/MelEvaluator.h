#pragma once
// Runs parsed MEL: variables and their scopes, control flow, procedure calls
// (the script's own, the built-in ones and the registered commands).

#include "commands/mel/MelData.h"
#include "commands/mel/MelInterpreter.h"
#include "commands/mel/MelSyntaxTree.h"

#include <maya/MStatus.h>

#include <memory>
#include <string>
#include <vector>

namespace host {

class MelParser;

// Thrown once a failure has been reported; unwinds to the nearest catch or
// to the caller of the script.
struct MelFailure
{
    MStatus status;
};

// Thrown after `quit` succeeded: unwinds every script to its top, past MEL's catch.
struct MelQuit
{
};

struct MelVariable
{
    MelType type = MelType::kInt;
    bool array = false;
    MelData value;
};
typedef std::shared_ptr<MelVariable> MelVariablePtr;

class MelEvaluator;

// What a built-in procedure is called with.
struct MelCall
{
    MelEvaluator& evaluator;
    const MelNode& node;
    std::vector<const MelData*> args;
    // The variable an argument names, when it is a plain $name; null otherwise.
    std::vector<MelVariable*> variables;

    const std::string& name() const { return node.text; }
    size_t count() const { return args.size(); }
    const MelData& arg(size_t k) const { return *args[k]; }
    // Fails with MEL's message unless min <= count() <= max.
    void expectCount(size_t min, size_t max) const;
    [[noreturn]] void fail(const std::string& message) const;
};

typedef MelData (*MelBuiltin)(MelCall& call);
// The built-in procedure called `name`, or null.
MelBuiltin findMelBuiltin(const std::string& name);

class MelEvaluator
{
public:
    MelEvaluator(const MelInterpreter::Options& options);
    ~MelEvaluator();

    // Runs a whole script; false once a statement failed (already reported).
    MStatus runScript(const char* text, size_t length, MelValue* lastResult);

    // For the built-in procedures.
    MelData evalText(const std::string& text, int line);
    std::string where(int line) const;
    [[noreturn]] void fail(int line, const std::string& message, MStatus status = MS::kFailure);
    // "Command", "Mel procedure found in: ...", "string[] variable", "Unknown".
    std::string whatIs(const std::string& name);
    bool procedureExists(const std::string& name);

    static void setLoopIterationLimit(uint64_t limit);

private:
    enum class Flow { kNormal, kBreak, kContinue, kReturn };

    MelData runUnit(MelParser& parser, const std::shared_ptr<MelUnit>& unit);
    Flow execute(const MelNode& node);
    Flow executeBlock(const MelNode& node);
    Flow executeDeclaration(const MelNode& node);
    Flow executeFor(const MelNode& node);
    Flow executeForIn(const MelNode& node);
    Flow executeSwitch(const MelNode& node);
    // Counts one loop iteration against the test facility's limit.
    void countIteration(int line);
    void defineProcedure(const MelNode& node);
    void source(const std::string& file, int line);

    MelData evaluate(const MelNode& node);
    // The value without a copy when `node` names a whole variable.
    const MelData& evaluateRef(const MelNode& node, MelData& scratch);
    MelData readVariable(const MelNode& node);
    MelData assign(const MelNode& node);
    MelData increment(const MelNode& node);
    MelData binaryChain(const MelNode& node);
    MelData operate(const std::string& op, const MelData& left, const MelData& right, int line);
    MelData arrayLiteral(const MelNode& node);
    MelData vectorLiteral(const MelNode& node);
    MelData catchFailure(const MelNode& node);

    MelData call(const MelNode& node);
    MelData callProcedure(const MelProcedure& procedure, const MelNode& node);
    MelData callBuiltin(MelBuiltin builtin, const MelNode& node);
    MelData runCommand(const struct CommandEntry& entry, const MelNode& node);
    std::shared_ptr<MelProcedure> findProcedure(const std::string& name) const;
    bool autoload(const std::string& name, int line);

    MelVariable* lookup(const std::string& name) const;
    MelVariable& declare(const std::string& name, MelType type, bool array, int line);
    void store(MelVariable& variable, const MelData& value, int line, const std::string& name);
    void storeElement(MelVariable& variable, const MelNode& target, const MelData& value);
    int64_t index(const MelNode& node, int line);

    const MelInterpreter::Options& fOptions;
    // Visible variables, innermost last; lookups stop at fFrameBase (the
    // running procedure's first entry) and blocks truncate on exit.
    std::vector<std::pair<std::string, MelVariablePtr>> fScope;
    size_t fFrameBase = 0;
    size_t fBlockBase = 0;
    MelUnit* fUnit = nullptr;
    std::shared_ptr<MelUnit> fRootUnit;
    MelData* fUnitResult = nullptr;  // the running unit's last top-level value
    MelData fReturnValue;
    int fNested = 0;        // > 0 inside procedures, eval and sourced files
    int fProcedureDepth = 0;

    friend class MelScopeRestore;
    friend class MelFrameRestore;
};

} // namespace host
