#include "deformers/SkinPercentCommand.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "deformers/AttributeBuilders.h"
#include "deformers/SkinClusterNode.h"

#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <map>
#include <string>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError("skinPercent: " + message);
    return MS::kInvalidParameter;
}

struct Request
{
    bool query = false, value = false, listTransforms = false, relative = false, normalize = true,
         zeroRemaining = false;
    MString transform;                                   // -t before -q: whose value is asked
    std::vector<std::pair<MString, double>> assignments;  // -tv
    double ignoreBelow = -1, prune = -1;
    std::vector<MString> objects;
};

MStatus readNumber(const MArgList& args, unsigned& i, double& value)
{
    if (i + 1 >= args.length() || !ValueText::parseDouble(args.asString(i + 1), value))
        return fail(args.asString(i) + " takes a number.");
    ++i;
    return MS::kSuccess;
}

MStatus parse(const MArgList& args, Request& r)
{
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        if (word == "-q" || word == "-query") {
            r.query = true;
        } else if (word == "-v" || word == "-value") {
            r.value = true;
        } else if (word == "-t" || word == "-transform") {
            // Before -query it names an influence; after it, it asks for the influences.
            if (r.query) {
                r.listTransforms = true;
            } else {
                if (i + 1 >= args.length())
                    return fail(word + " takes an influence.");
                r.transform = args.asString(++i);
            }
        } else if (word == "-tv" || word == "-transformValue") {
            double value = 0;
            if (i + 2 >= args.length() || !ValueText::parseDouble(args.asString(i + 2), value))
                return fail(word + " takes an influence and a weight.");
            r.assignments.emplace_back(args.asString(i + 1), value);
            i += 2;
        } else if (word == "-r" || word == "-relative") {
            r.relative = true;
        } else if (word == "-zri" || word == "-zeroRemainingInfluences") {
            r.zeroRemaining = true;
        } else if (word == "-nrm" || word == "-normalize") {
            bool on = true;
            if (i + 1 < args.length() && ValueText::parseBool(args.asString(i + 1), on))
                ++i;
            r.normalize = on;
        } else if (word == "-ib" || word == "-ignoreBelow") {
            DEFORMER_CHECK(readNumber(args, i, r.ignoreBelow));
        } else if (word == "-prw" || word == "-pruneWeights") {
            DEFORMER_CHECK(readNumber(args, i, r.prune));
        } else if (ValueText::isFlag(word)) {
            return fail("unknown flag " + word + ".");
        } else {
            r.objects.push_back(word);
        }
    }
    return MS::kSuccess;
}

int pointCount(const MDagPath& shape)
{
    return shape.hasFn(MFn::kMesh) ? MFnMesh(shape).numVertices() : MFnNurbsCurve(shape).numCVs();
}

// The skinned points a name gives: "x.vtx[a:b]", "x.cv[i]", "x.vtx[*]" or the whole geometry.
MStatus pointsOf(const MString& text, const MDagPath& skinned, std::vector<int>& points)
{
    const std::string s = text.asChar();
    const size_t dot = s.rfind('.');
    const size_t open = dot == std::string::npos ? std::string::npos : s.find('[', dot);
    const int count = pointCount(skinned);
    long long first = 0, last = count - 1;
    if (open != std::string::npos) {
        const std::string kind = s.substr(dot + 1, open - dot - 1);
        if ((kind != "vtx" && kind != "cv") || s.back() != ']')
            return fail(text + " is not a vertex or CV: name points as .vtx[...] or .cv[...].");
        const std::string range = s.substr(open + 1, s.size() - open - 2);
        const size_t colon = range.find(':');
        if (range != "*") {
            const MString a(range.substr(0, colon).c_str());
            const MString b(colon == std::string::npos ? a : MString(range.substr(colon + 1).c_str()));
            if (!ValueText::parseInt(a, first) || !ValueText::parseInt(b, last) || first > last)
                return fail("bad index range in " + text + ".");
        }
    }
    MSelectionList list;
    DEFORMER_CHECK(SceneNames::addMatches("skinPercent", MString(s.substr(0, open == std::string::npos ? s.size() : dot).c_str()), list));
    MDagPath named;
    if (!list.getDagPath(0, named))
        return fail(text + " is not a geometry.");
    // The skinned shape, or its transform.
    MDagPath transform = skinned;
    transform.pop();
    if (!(named == skinned) && !(named == transform))
        return fail(text + " is not on the geometry the skinCluster deforms (" + skinned.partialPathName() + ").");
    if (first < 0 || last >= count)
        return fail(text + " is out of range: the geometry has " + ValueText::formatInt(count) + " points.");
    for (long long i = first; i <= last; ++i)
        points.push_back(int(i));
    return MS::kSuccess;
}

// One point's weights by influence index.
typedef std::map<unsigned, double> PointWeights;

PointWeights weightsOf(const MObject& skin, int point)
{
    PointWeights weights;
    const MPlug list = MPlug(skin, SkinClusterNode::weightList).elementByLogicalIndex(unsigned(point));
    const MPlug values = list.child(0);
    for (unsigned k = 0; k < values.numElements(); ++k) {
        const MPlug element = values.elementByPhysicalIndex(k);
        weights[element.logicalIndex()] = element.asDouble();
    }
    return weights;
}

} // namespace

MStatus SkinPercentCommand::doIt(const MArgList& args)
{
    Request r;
    DEFORMER_CHECK(parse(args, r));
    mQuery = r.query;
    if (r.objects.empty())
        return fail("name the skinCluster.");
    MObject skin;
    DEFORMER_CHECK(SceneNames::findNode("skinPercent", r.objects[0], skin));
    if (!skin.hasFn(MFn::kSkinClusterFilter))
        return fail(r.objects[0] + " is not a skinCluster.");
    MDagPath skinned;
    if (!SkinClusterNode::outputShape(skin, skinned))
        return fail(r.objects[0] + " deforms no geometry.");
    std::vector<int> points;
    if (r.objects.size() > 1) {
        for (size_t i = 1; i < r.objects.size(); ++i)
            DEFORMER_CHECK(pointsOf(r.objects[i], skinned, points));
    } else {
        MSelectionList selection;
        DEFORMER_CHECK(MGlobal::getActiveSelectionList(selection));
        MStringArray names;
        selection.getSelectionStrings(names);
        for (unsigned i = 0; i < names.length(); ++i)
            DEFORMER_CHECK(pointsOf(names[i], skinned, points));
    }
    if (points.empty())
        return fail("name or select the points of " + skinned.partialPathName() + ".");

    const auto influences = SkinClusterNode::influencesOf(skin);
    auto indexOf = [&](const MString& name, unsigned& index) -> MStatus {
        MObject node;
        DEFORMER_CHECK(SceneNames::findNode("skinPercent", name, node));
        for (const auto& influence : influences)
            if (influence.second.node() == node) {
                index = influence.first;
                return MS::kSuccess;
            }
        return fail(name + " is not an influence of " + MFnDependencyNode(skin).name() + ".");
    };

    if (r.query) {
        // Averages over the points.
        std::map<unsigned, double> sums;
        for (int point : points)
            for (const auto& entry : weightsOf(skin, point))
                sums[entry.first] += entry.second / double(points.size());
        if (r.value && r.transform.length() > 0) {
            unsigned index = 0;
            DEFORMER_CHECK(indexOf(r.transform, index));
            setResult(sums[index]);
            return MS::kSuccess;
        }
        MDoubleArray values;
        MStringArray names;
        for (const auto& influence : influences) {
            const double w = sums[influence.first];
            if (r.ignoreBelow >= 0 && w <= r.ignoreBelow)
                continue;
            values.append(w);
            names.append(influence.second.partialPathName());
        }
        if (r.value)
            setResult(values);
        else if (r.listTransforms)
            setResult(names);
        else
            return fail("-query needs -value or -transform.");
        return MS::kSuccess;
    }

    std::vector<std::pair<unsigned, double>> assigned;
    for (const auto& assignment : r.assignments) {
        unsigned index = 0;
        DEFORMER_CHECK(indexOf(assignment.first, index));
        if (!r.relative && (assignment.second < 0.0 || assignment.second > 1.0))
            return fail("the weight of " + assignment.first + " must be from 0 to 1.");
        assigned.emplace_back(index, assignment.second);
    }
    if (assigned.empty() && r.prune < 0)
        return fail("nothing to set: give -transformValue or -pruneWeights.");
    const bool normalize = r.normalize && MPlug(skin, SkinClusterNode::normalizeWeights).asShort() != 0;
    const bool capInfluences = MPlug(skin, SkinClusterNode::maintainMaxInfluences).asBool();
    const int maxInfluences = MPlug(skin, SkinClusterNode::maxInfluences).asInt();
    const MPlug locks(skin, SkinClusterNode::lockWeights);

    for (int point : points) {
        PointWeights weights = weightsOf(skin, point);
        const PointWeights before = weights;
        std::map<unsigned, bool> fixed;  // set here or locked: normalising leaves them alone
        for (const auto& entry : weights)
            fixed[entry.first] = locks.elementByLogicalIndex(entry.first).asBool();
        for (const auto& a : assigned) {
            double& w = weights[a.first];
            w = std::min(1.0, std::max(0.0, r.relative ? w + a.second : a.second));
            fixed[a.first] = true;
        }
        if (r.zeroRemaining)
            for (auto& entry : weights)
                if (!fixed[entry.first])
                    entry.second = 0;
        if (r.prune >= 0)
            for (auto& entry : weights)
                if (entry.second < r.prune)
                    entry.second = 0;
        if (capInfluences && maxInfluences > 0) {
            std::vector<std::pair<double, unsigned>> ranked;
            for (const auto& entry : weights)
                if (entry.second > 0)
                    ranked.emplace_back(fixed[entry.first] ? 2.0 + entry.second : entry.second, entry.first);
            std::sort(ranked.rbegin(), ranked.rend());
            for (size_t k = size_t(maxInfluences); k < ranked.size(); ++k)
                weights[ranked[k].second] = 0;
        }
        if (normalize) {
            double fixedSum = 0, freeSum = 0;
            for (const auto& entry : weights)
                (fixed[entry.first] ? fixedSum : freeSum) += entry.second;
            const double room = 1.0 - fixedSum;
            for (auto& entry : weights) {
                if (room > 0 && !fixed[entry.first] && freeSum > 0)
                    entry.second *= room / freeSum;
                else if (room <= 0)
                    // The weights given already fill the point: the others go, the given share it.
                    entry.second = fixed[entry.first] && fixedSum > 0 ? entry.second / fixedSum : 0.0;
            }
        }
        const MPlug values =
            MPlug(skin, SkinClusterNode::weightList).elementByLogicalIndex(unsigned(point)).child(0);
        for (const auto& entry : weights) {
            auto old = before.find(entry.first);
            if (old == before.end() ? entry.second == 0.0 : old->second == entry.second)
                continue;
            DEFORMER_CHECK(mModifier.newPlugValueDouble(values.elementByLogicalIndex(entry.first), entry.second));
        }
    }
    return execute("skinPercent");
}

} // namespace host
