#include "commands/scene/SceneFile.h"

#include "anim/SceneTime.h"
#include "commands/FileState.h"
#include "commands/UndoQueue.h"
#include "dag/Dag.h"
#include "commands/builtins/AddAttrCommand.h"
#include "commands/scene/DefaultNodes.h"
#include "commands/scene/MayaAsciiReader.h"
#include "commands/scene/NodeUuids.h"
#include "commands/scene/SceneRecords.h"
#include "commands/scene/KeptSceneData.h"
#include "commands/scene/MayaAsciiWriter.h"
#include "dg/Messages.h"
#include "dg/Namespaces.h"
#include "dg/Scene.h"
#include "geometry/HistoryCheck.h"
#include "views/StartupCameras.h"

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MSceneMessage.h>
#include <maya/MTime.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace host {

namespace {

// Empties the scene and everything that referred to it.
void clearScene()
{
    CHECK_MSTATUS(MGlobal::clearSelectionList());
    // The scene's nodes go in the root namespace's name, whatever was current.
    resetNamespaces();
    deleteAllNodes();
    UndoQueue::flush();
    releaseDeletedDagNodes();
    AddAttrCommand::discardPendingCompounds();
    KeptSceneData::forgetScene();
    SceneRecords::clear();
    NodeUuids::clear();
    MayaAsciiReader::forgetReferences();
}

} // namespace

MStatus SceneFile::newScene()
{
    fireSceneMessage(MSceneMessage::kBeforeNew);
    {
        FileStateScope newing(FileFlag::kNewing);
        clearScene();
        setCurrentFile(MString());
        // A new scene starts in the default working units, whatever the last scene opened used.
        CHECK_MSTATUS(MDistance::setUIUnit(MDistance::kCentimeters));
        CHECK_MSTATUS(MAngle::setUIUnit(MAngle::kDegrees));
        CHECK_MSTATUS(MTime::setUIUnit(MTime::kFilm));
        CHECK_MSTATUS(ensureStartupCameras());
        CHECK_MSTATUS(DefaultNodes::createForNewScene());
        startSceneTime();
    }
    fireSceneMessage(MSceneMessage::kAfterNew);
    return MS::kSuccess;
}

MStatus SceneFile::open(const MString& path)
{
    {
        std::ifstream probe(path.asChar());
        if (!probe) {
            MGlobal::displayError(MString("file: cannot open ") + path + ": no such file.");
            return MS::kNotFound;
        }
    }
    fireSceneMessage(MSceneMessage::kBeforeOpen);
    MStatus status;
    {
        FileStateScope opening(FileFlag::kOpening);
        FileStateScope reading(FileFlag::kReading);
        clearScene();
        // A scene that lacks the startup cameras still gets them; one that has them reuses these.
        CHECK_MSTATUS(ensureStartupCameras());
        CHECK_MSTATUS(DefaultNodes::createBeforeRead());
        setCurrentFile(path);
        fireSceneMessage(MSceneMessage::kBeforeFileRead);
        status = MayaAsciiReader::read(path);
        CHECK_MSTATUS(DefaultNodes::createAfterRead());
        syncTimeNode();
        reportMeshesWithoutGeometry();
        fireSceneMessage(MSceneMessage::kAfterFileRead);
        CHECK_MSTATUS(MGlobal::clearSelectionList());
        UndoQueue::flush();
    }
    fireSceneMessage(MSceneMessage::kAfterOpen);
    if (!status)
        MGlobal::displayError(MString("file: ") + path + " was not read completely.");
    return status;
}

MStatus SceneFile::save(const MString& path)
{
    fireSceneMessage(MSceneMessage::kBeforeSave);
    std::string text;
    MStatus status;
    {
        FileStateScope writing(FileFlag::kWriting);
        status = MayaAsciiWriter::write(path, text);
    }
    if (!status)
        return status;
    // Write beside the target and rename, so a failed write keeps the old file.
    const std::string target(path.asChar());
    const std::string temporary = target + ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            MGlobal::displayError(MString("file: cannot write ") + path + ".");
            return MS::kFailure;
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        MGlobal::displayError(MString("file: cannot write ") + path + ".");
        return MS::kFailure;
    }
    setCurrentFile(path);
    fireSceneMessage(MSceneMessage::kAfterSave);
    return MS::kSuccess;
}

} // namespace host
