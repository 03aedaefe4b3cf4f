#pragma once
// The scene as a file: new, open and save, with the scene messages and the
// MFileIO state Maya gives them. `file` and pellixbatch go through here.

#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

class SceneFile
{
public:
    // Empties the scene (kBeforeNew / kAfterNew); the scene becomes untitled.
    static MStatus newScene();
    // Replaces the scene with the file's (kBeforeOpen / kAfterOpen). A file
    // with errors leaves the nodes read before the error, as Maya does.
    static MStatus open(const MString& path);
    // Writes the scene as Maya ASCII (kBeforeSave / kAfterSave).
    static MStatus save(const MString& path);
};

} // namespace host
