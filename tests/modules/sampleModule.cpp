// A small well-formed plug-in: one node type and two commands, loaded by the
// host tests and by pellixbatch runs.

#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MPxNode.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>

namespace {

class SampleNode : public MPxNode
{
public:
    static void* creator() { return new SampleNode; }
    static MStatus initialize()
    {
        MFnNumericAttribute numeric;
        value = numeric.create("value", "val", MFnNumericData::kDouble, 0.0);
        return addAttribute(value);
    }
    static MObject value;
};

MObject SampleNode::value;

// sampleResult: sets the result its flags ask for, or none; -info and -warn
// report through MGlobal; -fail reports an error and fails.
class SampleResultCommand : public MPxCommand
{
public:
    static void* creator() { return new SampleResultCommand; }
    static MSyntax newSyntax()
    {
        MSyntax syntax;
        syntax.addFlag("-i", "-int", MSyntax::kLong);
        syntax.addFlag("-d", "-double", MSyntax::kDouble);
        syntax.addFlag("-s", "-string", MSyntax::kString);
        syntax.addFlag("-b", "-bool", MSyntax::kBoolean);
        syntax.addFlag("-sa", "-stringArray", MSyntax::kString);
        syntax.makeFlagMultiUse("-sa");
        syntax.addFlag("-da", "-doubleArray", MSyntax::kDouble);
        syntax.makeFlagMultiUse("-da");
        syntax.addFlag("-ea", "-emptyArray");
        syntax.addFlag("-inf", "-info", MSyntax::kString);
        syntax.addFlag("-w", "-warn", MSyntax::kString);
        syntax.addFlag("-f", "-fail");
        return syntax;
    }

    MStatus doIt(const MArgList& args) override
    {
        MStatus status;
        MArgDatabase db(syntax(), args, &status);
        if (!status)
            return status;
        if (db.isFlagSet("-inf"))
            MGlobal::displayInfo(db.flagArgumentString("-inf", 0));
        if (db.isFlagSet("-w"))
            MGlobal::displayWarning(db.flagArgumentString("-w", 0));
        if (db.isFlagSet("-f")) {
            displayError("sampleResult: asked to fail.");
            return MS::kFailure;
        }
        if (db.isFlagSet("-i"))
            setResult(db.flagArgumentInt("-i", 0));
        if (db.isFlagSet("-d"))
            setResult(db.flagArgumentDouble("-d", 0));
        if (db.isFlagSet("-s"))
            setResult(db.flagArgumentString("-s", 0));
        if (db.isFlagSet("-b"))
            setResult(db.flagArgumentBool("-b", 0));
        if (db.isFlagSet("-ea"))
            setResult(MStringArray());
        for (unsigned int i = 0; i < db.numberOfFlagUses("-sa"); ++i) {
            MArgList use;
            db.getFlagArgumentList("-sa", i, use);
            appendToResult(use.asString(0));
        }
        for (unsigned int i = 0; i < db.numberOfFlagUses("-da"); ++i) {
            MArgList use;
            db.getFlagArgumentList("-da", i, use);
            appendToResult(use.asDouble(0));
        }
        return MS::kSuccess;
    }
};

const MTypeId kSampleNodeId(0x0007F101);

} // namespace

MStatus initializePlugin(MObject obj)
{
    MFnPlugin plugin(obj, "pellix tests", "1.5", "Any");
    MStatus status = plugin.registerNode("sampleNode", kSampleNodeId, SampleNode::creator, SampleNode::initialize);
    if (!status)
        return status;
    return plugin.registerCommand("sampleResult", SampleResultCommand::creator, SampleResultCommand::newSyntax);
}

MStatus uninitializePlugin(MObject obj)
{
    MFnPlugin plugin(obj);
    MStatus status = plugin.deregisterCommand("sampleResult");
    if (!status)
        return status;
    return plugin.deregisterNode(kSampleNodeId);
}
