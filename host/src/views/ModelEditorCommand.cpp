#include "views/ModelEditorCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/StartupCameras.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MFrameContext.h>
#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-e", "-edit", CommandFlags::kNoArg},
    {"-cam", "-camera", CommandFlags::kNoArg},
    {"-da", "-displayAppearance", CommandFlags::kNoArg},
    {"-wos", "-wireframeOnShaded", CommandFlags::kNoArg},
    {"-gr", "-grid", CommandFlags::kNoArg},
};

using MHWRender::MFrameContext;

struct Appearance
{
    const char* name;
    unsigned int style;
};
const Appearance kAppearances[] = {
    {"smoothShaded", MFrameContext::kGouraudShaded},
    {"flatShaded", MFrameContext::kFlatShaded},
    {"wireframe", MFrameContext::kWireFrame},
    {"boundingBox", MFrameContext::kBoundingBox},
    {"points", 0u},
};
constexpr unsigned int kShadingBits =
    MFrameContext::kGouraudShaded | MFrameContext::kFlatShaded | MFrameContext::kBoundingBox;

const char* appearanceName(unsigned int style)
{
    for (const Appearance& a : kAppearances)
        if (a.style != 0u && (style & a.style))
            return a.name;
    return "points";
}

} // namespace

MStatus ModelEditorCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("modelEditor", args, kFlags);
    if (!status)
        return status;
    status = requireViews("modelEditor");
    if (!status)
        return status;
    // The editor is the last object; an edited value comes before it.
    std::vector<MString> objects = flags.objects();
    if (objects.empty()) {
        MGlobal::displayError("modelEditor: expects the name of a model panel.");
        return MS::kInvalidParameter;
    }
    const int panel = panelNamed("modelEditor", objects.back());
    if (panel < 0)
        return MS::kInvalidParameter;
    objects.pop_back();
    const unsigned index = static_cast<unsigned>(panel);
    const int asked = static_cast<int>(flags.isSet("-cam")) + static_cast<int>(flags.isSet("-da")) +
                      static_cast<int>(flags.isSet("-wos")) + static_cast<int>(flags.isSet("-gr"));

    if (flags.isQuery()) {
        if (asked != 1 || !objects.empty()) {
            MGlobal::displayError(
                "modelEditor: query one of -camera, -displayAppearance, -wireframeOnShaded and -grid.");
            return MS::kInvalidParameter;
        }
        const unsigned int style = panelDisplayStyle(index);
        if (flags.isSet("-cam"))
            setResult(cameraDisplayName(panelCamera(index)));
        else if (flags.isSet("-da"))
            setResult(MString(appearanceName(style)));
        else if (flags.isSet("-gr"))
            setResult(panelGrid(index));
        else
            setResult((style & MFrameContext::kWireFrame) != 0 && (style & kShadingBits) != 0);
        return MS::kSuccess;
    }
    if (asked != 1 || objects.size() != 1) {
        MGlobal::displayError("modelEditor: edit one of -camera, -displayAppearance, -wireframeOnShaded and -grid with "
                              "its value.");
        return MS::kInvalidParameter;
    }
    const MString& value = objects[0];
    if (flags.isSet("-cam")) {
        MDagPath camera;
        if (!findCamera(value, camera)) {
            MGlobal::displayError(MString("modelEditor: ") + value + " is not a camera.");
            return MS::kInvalidParameter;
        }
        return setPanelCamera(index, camera);
    }
    unsigned int style = panelDisplayStyle(index);
    if (flags.isSet("-da")) {
        for (const Appearance& a : kAppearances) {
            if (value != a.name)
                continue;
            // Wireframe on shaded stays with a shaded appearance.
            const bool wireOnShaded = (style & MFrameContext::kWireFrame) && (style & kShadingBits);
            style &= ~(kShadingBits | MFrameContext::kWireFrame);
            style |= a.style;
            if (wireOnShaded && (a.style & kShadingBits))
                style |= MFrameContext::kWireFrame;
            setPanelDisplayStyle(index, style);
            return MS::kSuccess;
        }
        MGlobal::displayError(MString("modelEditor: unknown display appearance \"") + value +
                              "\" (smoothShaded, flatShaded, wireframe, boundingBox or points).");
        return MS::kInvalidParameter;
    }
    const bool on = value == "1" || value == "true" || value == "on" || value == "yes";
    if (!on && !(value == "0" || value == "false" || value == "off" || value == "no")) {
        MGlobal::displayError(MString("modelEditor: ") + (flags.isSet("-gr") ? "-grid" : "-wireframeOnShaded") +
                              " needs true or false, not \"" + value + "\".");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-gr")) {
        setPanelGrid(index, on);
        return MS::kSuccess;
    }
    if ((style & kShadingBits) != 0) {
        style = on ? (style | MFrameContext::kWireFrame) : (style & ~MFrameContext::kWireFrame);
        setPanelDisplayStyle(index, style);
    }
    return MS::kSuccess;
}

} // namespace host
