#include "SceneMutator.h"

#include <maya/MDoubleArray.h>
#include <maya/MFn.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixArrayData.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MMatrix.h>
#include <maya/MMatrixArray.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cmath>
#include <dirent.h>
#include <fstream>
#include <limits>
#include <sstream>

namespace fuzz {

namespace {

bool run(const std::string& command)
{
    return MGlobal::executeCommand(MString(command.c_str()));
}

// Values that break careless code: non-finite, huge, negative, just out of range.
double specialDouble(Random& random)
{
    static const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    1e308,
                                    -1e308,
                                    1e-310,
                                    0.0,
                                    -1.0,
                                    1e9,
                                    3.4e38};
    if (random.chance(0.3)) {
        return random.real(-10.0, 10.0);
    }
    return values[random.below(std::size(values))];
}

int specialInt(Random& random)
{
    static const int values[] = {-1, 0, 1, 2, 3, 8, 24, 25, 1000, 65536, INT_MAX, INT_MIN, -2};
    if (random.chance(0.3)) {
        return static_cast<int>(random.below(40));
    }
    return values[random.below(std::size(values))];
}

// Damages an array of values: one entry, several, a cut, an extension, a swap or emptying it.
template <class T, class Special>
void damageValues(Random& random, std::vector<T>& values, Special special)
{
    switch (random.below(6)) {
    case 0:
        if (!values.empty()) {
            values[random.below(values.size())] = special(random);
        } else {
            values.push_back(special(random));
        }
        break;
    case 1:
        for (size_t n = random.below(6) + 1; n > 0 && !values.empty(); --n) {
            values[random.below(values.size())] = special(random);
        }
        break;
    case 2:
        values.resize(random.below(values.size() + 1));
        break;
    case 3:
        for (size_t n = random.below(7) + 1; n > 0; --n) {
            values.push_back(special(random));
        }
        break;
    case 4:
        if (values.size() > 1) {
            std::swap(values[random.below(values.size())], values[random.below(values.size())]);
        }
        break;
    default:
        values.clear();
        break;
    }
}

std::string damageTyped(Random& random, MPlug& plug, MFnData::Type type)
{
    const MObject value = plug.asMObject();
    switch (type) {
    case MFnData::kDoubleArray: {
        std::vector<double> values;
        if (!value.isNull()) {
            MDoubleArray array;
            MFnDoubleArrayData(value).copyTo(array);
            for (unsigned i = 0; i < array.length(); ++i)
                values.push_back(array[i]);
        }
        damageValues(random, values, specialDouble);
        MDoubleArray array;
        for (double v : values)
            array.append(v);
        plug.setMObject(MFnDoubleArrayData().create(array));
        return "double array of " + std::to_string(values.size());
    }
    case MFnData::kIntArray: {
        std::vector<int> values;
        if (!value.isNull()) {
            MIntArray array;
            MFnIntArrayData(value).copyTo(array);
            for (unsigned i = 0; i < array.length(); ++i)
                values.push_back(array[i]);
        }
        damageValues(random, values, specialInt);
        MIntArray array;
        for (int v : values)
            array.append(v);
        plug.setMObject(MFnIntArrayData().create(array));
        return "int array of " + std::to_string(values.size());
    }
    case MFnData::kMatrixArray: {
        std::vector<MMatrix> values;
        if (!value.isNull()) {
            MMatrixArray array;
            MFnMatrixArrayData(value).copyTo(array);
            for (unsigned i = 0; i < array.length(); ++i)
                values.push_back(array[i]);
        }
        auto specialMatrix = [](Random& r) {
            MMatrix m;
            if (r.chance(0.3)) {
                for (int i = 0; i < 4; ++i)
                    for (int j = 0; j < 4; ++j)
                        m[i][j] = 0.0;  // singular
            } else {
                m[r.below(4)][r.below(4)] = specialDouble(r);
            }
            return m;
        };
        damageValues(random, values, specialMatrix);
        MMatrixArray array;
        for (const MMatrix& m : values)
            array.append(m);
        plug.setMObject(MFnMatrixArrayData().create(array));
        return "matrix array of " + std::to_string(values.size());
    }
    case MFnData::kString: {
        static const char* const strings[] = {"", "|", "|||", "nothing|here", "map2", "\"", "a b c", "-1",
                                              "pPlane1", "|plane|planeShape", "\xff\xfe"};
        std::string text = strings[random.below(std::size(strings))];
        if (random.chance(0.1))
            text.assign(5000, 'x');
        plug.setMObject(MFnStringData().create(MString(text.c_str())));
        return "string '" + text.substr(0, 20) + "'";
    }
    default:
        return "";
    }
}

// Damages one value under `plug` (an element of an array, a child of a compound, or the
// value itself); returns what was done, or "" when there was nothing to damage.
std::string damagePlug(Random& random, MPlug plug, unsigned depth)
{
    if (depth > 4)
        return "";
    const MObject attribute = plug.attribute();
    if (plug.isArray()) {
        const unsigned count = plug.evaluateNumElements();
        unsigned logical = count > 0 && random.chance(0.7)
                               ? plug.elementByPhysicalIndex(static_cast<unsigned>(random.below(count))).logicalIndex()
                               : static_cast<unsigned>(random.chance(0.1) ? 100000 : random.below(40));
        return "[" + std::to_string(logical) + "]" + damagePlug(random, plug.elementByLogicalIndex(logical), depth + 1);
    }
    if (attribute.hasFn(MFn::kCompoundAttribute)) {
        if (plug.numChildren() == 0)
            return "";
        MPlug child = plug.child(static_cast<unsigned>(random.below(plug.numChildren())));
        const std::string done = damagePlug(random, child, depth + 1);
        return done.empty() ? "" : "." + std::string(MFnAttribute(child.attribute()).name().asChar()) + done;
    }
    if (attribute.hasFn(MFn::kTypedAttribute)) {
        const std::string done = damageTyped(random, plug, MFnTypedAttribute(attribute).attrType());
        return done.empty() ? "" : " = " + done;
    }
    if (attribute.hasFn(MFn::kMatrixAttribute)) {
        MMatrix m;
        m[random.below(4)][random.below(4)] = specialDouble(random);
        plug.setMObject(MFnMatrixData().create(m));
        return " = damaged matrix";
    }
    if (attribute.hasFn(MFn::kNumericAttribute) || attribute.hasFn(MFn::kEnumAttribute) ||
        attribute.hasFn(MFn::kUnitAttribute)) {
        if (random.chance(0.5)) {
            const int value = specialInt(random);
            plug.setInt(value);
            return " = " + std::to_string(value);
        }
        const double value = specialDouble(random);
        plug.setDouble(value);
        return " = " + std::to_string(value);
    }
    return "";
}

std::vector<std::string> tokens(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string token;
    while (in >> token)
        out.push_back(token);
    return out;
}

std::string join(const std::vector<std::string>& parts, const char* separator)
{
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += separator;
        out += parts[i];
    }
    return out;
}

// A token that may stand where another stood.
std::string specialToken(Random& random)
{
    static const char* const replacements[] = {"nan", "inf", "-inf", "1e308", "-1", "0", "2147483647", "-2147483648",
                                               "\"", "\"unterminated", ";", "{", "}", "[", "]", "(", ")", "`", "-type",
                                               "\"mesh\"", "\"Int32Array\"", "\"doubleArray\"", "\"matrix\"", ".",
                                               "|", "$x", "999999999999", "-1e-320"};
    if (random.chance(0.2))
        return std::to_string(random.real(-100.0, 100.0));
    if (random.chance(0.1))
        return std::string(random.below(60) + 1, '{');
    return replacements[random.below(std::size(replacements))];
}

void damageTokens(Random& random, std::vector<std::string>& parts, const std::vector<std::string>& donors)
{
    if (parts.empty()) {
        parts.push_back(specialToken(random));
        return;
    }
    const size_t at = random.below(parts.size());
    switch (random.below(5)) {
    case 0:
        parts[at] = specialToken(random);
        break;
    case 1:
        parts.erase(parts.begin() + static_cast<long>(at));
        break;
    case 2:
        parts.insert(parts.begin() + static_cast<long>(at), parts[random.below(parts.size())]);
        break;
    case 3:
        if (!donors.empty())
            parts[at] = donors[random.below(donors.size())];
        break;
    default:
        parts.resize(at);
        break;
    }
}

} // namespace

Random::Random(uint64_t runSeed, uint64_t index) : fState(runSeed * 0x9E3779B97F4A7C15ULL + index + 1)
{
    next();
}

uint64_t Random::next()
{
    // splitmix64
    uint64_t z = (fState += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

size_t Random::below(size_t bound)
{
    return bound == 0 ? 0 : static_cast<size_t>(next() % bound);
}

bool Random::chance(double probability)
{
    return real(0.0, 1.0) < probability;
}

double Random::real(double low, double high)
{
    return low + (high - low) * (static_cast<double>(next() >> 11) / 9007199254740992.0);
}

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::kStoredData:
        return "stored-data";
    case Kind::kSceneText:
        return "scene-text";
    case Kind::kMel:
        return "mel";
    case Kind::kMelScript:
        return "mel-script";
    }
    return "?";
}

Kind pickKind(Random& random, const SeedScene& seed)
{
    if (!seed.melScriptPath.empty())
        return Kind::kMelScript;
    // Real scenes are large: their text is damaged, or their stored values.
    if (!seed.realScenePath.empty())
        return random.chance(0.5) ? Kind::kSceneText : Kind::kStoredData;
    const size_t pick = random.below(10);
    return pick < 5 ? Kind::kStoredData : pick < 8 ? Kind::kSceneText : Kind::kMel;
}

namespace {

// The files of `directory` whose names end in `suffix`, sorted; none when it is empty or missing.
std::vector<std::string> filesEndingIn(const std::string& directory, const std::string& suffix)
{
    std::vector<std::string> paths;
    if (directory.empty())
        return paths;
    if (DIR* dir = opendir(directory.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                paths.push_back(directory + "/" + name);
        }
        closedir(dir);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

std::vector<SeedScene> seedScenes(const std::string& realScenesDirectory, const std::string& melScriptsDirectory)
{
    const std::vector<std::string> controls = {
        "createNode transform -n c0", "setAttr c0.translate 1.2 1 -3.1",
        "createNode transform -n c1", "setAttr c1.translate -2 0.5 2.2",
        "createNode transform -n c2", "setAttr c2.translate 3.7 -1 0.4",
        "createNode transform -n c3", "setAttr c3.translate -4.1 2 -0.9"};
    std::vector<SeedScene> seeds;

    SeedScene pins{"pins", {"polyPlane -w 10 -h 10 -sx 4 -sy 4 -n plane"}};
    pins.mel.insert(pins.mel.end(), controls.begin(), controls.end());
    pins.mel.insert(pins.mel.end(), {"surfacePinBind -mo plane c0", "surfacePinBind -c translate plane c1",
                                     "surfaceUVPinBind -iv true plane c2", "surfaceUVPinBind -mo plane c3",
                                     "move -r 0 1 0 plane.vtx[0:12]"});
    seeds.push_back(pins);

    seeds.push_back({"overlay",
                     {"polyPlane -n driver -w 4 -h 4 -sx 2 -sy 2", "polyPlane -n patchA -w 1 -h 1 -sx 1 -sy 1",
                      "polyPlane -n patchB -w 1 -h 1 -sx 1 -sy 1", "createNode transform -n ctrlA",
                      "createNode transform -n ctrlB", "createNode transform -n overlay",
                      "createNode pellixDataOverlay -n overlayShape -p overlay",
                      "setAttr overlayShape.patchVertexCounts -type Int32Array 2 4 4",
                      "setAttr overlayShape.patchDriverVertexIndices -type Int32Array 8 0 1 3 4 4 5 7 8",
                      "setAttr overlayShape.patchTriangleOffsets -type Int32Array 2 0 6",
                      "setAttr overlayShape.patchTriangleCounts -type Int32Array 2 6 6",
                      "setAttr overlayShape.patchTriangleIndices -type Int32Array 12 0 1 3 0 3 2 0 1 3 0 3 2",
                      "setAttr overlayShape.patchEdgeOffsets -type Int32Array 2 0 8",
                      "setAttr overlayShape.patchEdgeCounts -type Int32Array 2 8 8",
                      "setAttr overlayShape.patchEdgeIndices -type Int32Array 16 0 1 0 2 1 3 2 3 0 1 0 2 1 3 2 3",
                      "connectAttr driverShape.worldMesh[0] overlayShape.inMesh",
                      "connectAttr patchAShape.message overlayShape.patchSourceMeshes[0]",
                      "connectAttr patchBShape.message overlayShape.patchSourceMeshes[1]",
                      "connectAttr ctrlA.message overlayShape.patchControl[0]",
                      "connectAttr ctrlB.message overlayShape.patchControl[1]",
                      "move -r 0 0.5 0 driver.vtx[4]", "select -r patchA", "setAttr overlayShape.hoveredPatch 1"}});

    seeds.push_back({"wrap",
                     {"polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver", "duplicate -n target driver",
                      "vertexWrap -n wrap driver target", "move -r 0 1 0 driver.vtx[5]",
                      "polyPlane -w 2 -h 2 -sx 2 -sy 2 -n other", "vertexWrap driver other"}});

    SeedScene shapes{"shapeControl",
                     {"createNode transform -n scT", "createNode shapeControl -n sc -p scT",
                      "createNode transform -n scT2", "createNode shapeControl -n sc2 -p scT2",
                      "polyCube -n cube", "connectAttr cubeShape.outMesh sc2.inGeometry", "setAttr scT2.translate 1 2 3"}};
    seeds.push_back(shapes);

    for (const std::string& path : filesEndingIn(realScenesDirectory, ".ma"))
        seeds.push_back({path.substr(path.rfind('/') + 1), {}, path, {}});
    for (const std::string& path : filesEndingIn(melScriptsDirectory, ".mel"))
        seeds.push_back({path.substr(path.rfind('/') + 1), {}, {}, path});
    return seeds;
}

void buildSeed(const SeedScene& seed)
{
    for (const std::string& line : seed.mel)
        run(line);
    if (!seed.realScenePath.empty())
        run("file -force -open \"" + seed.realScenePath + "\"");
}

std::string mutateStoredData(Random& random)
{
    // The plug-in's nodes and the meshes, with their storable attributes.
    std::vector<MObject> nodes;
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        MFnDependencyNode fn(it.thisNode());
        const unsigned id = fn.typeId().id();
        if ((id >= 0x140540 && id < 0x140550) || fn.typeName() == "mesh")
            nodes.push_back(it.thisNode());
    }
    std::string done;
    for (size_t n = random.below(4) + 1; n > 0 && !nodes.empty(); --n) {
        const MObject& node = nodes[random.below(nodes.size())];
        MFnDependencyNode fn(node);
        std::vector<MObject> storable;
        for (unsigned a = 0; a < fn.attributeCount(); ++a) {
            MFnAttribute attribute(fn.attribute(a));
            if (attribute.isStorable() && attribute.isWritable() && attribute.parent().isNull())
                storable.push_back(fn.attribute(a));
        }
        if (storable.empty())
            continue;
        MPlug plug(node, storable[random.below(storable.size())]);
        if (plug.isDestination() && random.chance(0.7))
            continue;  // mostly values a file or a user could store
        const std::string what = damagePlug(random, plug, 0);
        if (!what.empty())
            done += std::string(plug.name().asChar()) + what + "; ";
    }
    return done;
}

std::string saveSceneText(const std::string& path)
{
    run("file -rename \"" + path + "\"");
    run("file -save -type \"mayaAscii\"");
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string mutateSceneText(Random& random, const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    if (lines.empty())
        return text;
    // Stored values live on setAttr lines and their continuations: aim there mostly.
    std::vector<size_t> valueLines;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find("setAttr") != std::string::npos || (!lines[i].empty() && lines[i][0] == '\t'))
            valueLines.push_back(i);
    for (size_t n = random.below(4) + 1; n > 0 && !lines.empty(); --n) {
        const size_t at = !valueLines.empty() && random.chance(0.8) ? valueLines[random.below(valueLines.size())]
                                                                     : random.below(lines.size());
        if (at >= lines.size())
            continue;
        switch (random.below(8)) {
        case 0:
            lines.erase(lines.begin() + static_cast<long>(at));
            break;
        case 1:
            lines.insert(lines.begin() + static_cast<long>(at), lines[random.below(lines.size())]);
            break;
        case 2:
            lines.resize(at);  // a file cut short
            break;
        default: {
            std::vector<std::string> parts = tokens(lines[at]);
            const std::vector<std::string> donors = tokens(lines[random.below(lines.size())]);
            damageTokens(random, parts, donors);
            lines[at] = (lines[at].size() > 0 && lines[at][0] == '\t' ? "\t\t" : "") + join(parts, " ");
            break;
        }
        }
    }
    return join(lines, "\n") + "\n";
}

std::string mutateMelScript(Random& random, const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return join(mutateMel(random, lines), "\n") + "\n";
}

std::vector<std::string> mutateMel(Random& random, const std::vector<std::string>& lines)
{
    std::vector<std::string> out = lines;
    if (out.empty())
        return out;
    for (size_t n = random.below(4) + 1; n > 0 && !out.empty(); --n) {
        const size_t at = random.below(out.size());
        switch (random.below(6)) {
        case 0:
            out.erase(out.begin() + static_cast<long>(at));
            break;
        case 1:
            std::swap(out[at], out[random.below(out.size())]);
            break;
        default: {
            std::vector<std::string> parts = tokens(out[at]);
            damageTokens(random, parts, tokens(out[random.below(out.size())]));
            out[at] = join(parts, " ");
            break;
        }
        }
    }
    return out;
}

} // namespace fuzz
