#pragma once
// Fixture of the built-in command and scene file tests: an empty scene, the
// host's messages captured, and small node types registered as the host's
// own (plus one that claims to come from a plug-in that is never loaded).

#include "commands/MessageOutput.h"
#include "commands/mel/MelValue.h"

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// "sceneTestNode": one attribute of every kind the scene files carry.
//   ia Int32Array, da doubleArray, sa stringArray, str string, mat matrix,
//   vec double3 (vx vy vz), flag bool (default true), mode enum (a=0 b=1 c=5),
//   ang angle, cache double (not storable), vals double multi, links message
//   multi, in compound multi (iv double, inm string), cnt int (0..10),
//   geo generic (mesh data only).
// "sceneTestLocator": a locator shape.
// "sceneTestForeign": a type owned by the plug-in "sceneTestMissingPlugin".
void registerSceneTestTypes();

class SceneTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs MEL as a user would (undoable commands go on the undo queue).
    MStatus run(const std::string& script);
    // Runs MEL that must succeed and returns its result.
    host::MelValue value(const std::string& script);
    MString text(const std::string& script) { return value(script).asString(); }
    MStringArray strings(const std::string& script) { return value(script).asStringArray(); }
    double number(const std::string& script) { return value(script).asDouble(); }

    // The scene as the scene writer writes it.
    std::string sceneText();
    // Errors (warnings) written since SetUp (or the last clearMessages), one per line.
    std::string errors() const;
    std::string warnings() const;
    void clearMessages() { fCapture->clear(); }
    // Each command fails with exactly its error line.
    struct Refusal
    {
        std::string command;
        std::string error;
    };
    void expectRefusals(const std::vector<Refusal>& refusals);
    // A file path under the test's temporary folder.
    std::string tempPath(const std::string& name) const;
    // Writes a scene file of Maya's header (centimetres, degrees, film) and `body` under the
    // temporary folder, and opens it.
    MStatus openText(const std::string& body, const std::string& name = "scene.ma");
    // Saves the scene under the temporary folder and returns what was written.
    std::string save(const std::string& name);
    static std::string readFile(const std::string& path);

private:
    std::unique_ptr<host::MessageCapture> fCapture;
    std::string fTempDir;
};
