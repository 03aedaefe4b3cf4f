// The pin nodes against damaged or shortened stored data: output elements read beyond the
// valid pins, bind arrays cut short under connected controls, and non-finite bind data,
// which leaves its pin out with an error and never hands a control a NaN.

#include "PluginTestSupport.h"
#include "SurfacePinBindTestSupport.h"
#include "SurfacePinNodeSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

using pinbind::doubleArray;
using pinbind::matrixArray;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

class PinRobustness : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4"));
        addControl("c0", 1.2, 1.0, -3.1);
        addControl("c1", -2.0, 0.5, 2.2);
    }

    void addControl(const std::string& name, double x, double y, double z)
    {
        ASSERT_TRUE(mel("createNode transform -n " + name));
        ASSERT_TRUE(mel("setAttr " + name + ".translate " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(z)));
    }

    // World position of a control, queried as a user would.
    static MVector worldPosition(const std::string& control)
    {
        MDoubleArray values;
        EXPECT_TRUE(MGlobal::executeCommand(MString(("xform -q -ws -t " + control).c_str()), values));
        return values.length() == 3 ? MVector(values[0], values[1], values[2]) : MVector(kNaN, kNaN, kNaN);
    }

    static bool finite(const MVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
    static bool finite(const MMatrix& m)
    {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                if (!std::isfinite(m(r, c)))
                    return false;
        return true;
    }

    static std::string errorsOf(const host::MessageCapture& capture)
    {
        return capture.text(host::MessageKind::kError).asChar();
    }
};

} // namespace

TEST_F(PinRobustness, OutputElementsOfAnUnboundPinReadAsDefaults)
{
    ASSERT_TRUE(mel("polyCube -n c"));
    ASSERT_TRUE(mel("createNode surfacePin -n p"));
    ASSERT_TRUE(mel("connectAttr cShape.worldMesh[0] p.deformedGeometry"));
    ASSERT_TRUE(mel("getAttr p.outputTranslate[0]"));
    EXPECT_EQ(melDouble("getAttr p.outputTranslate[0].outputTranslateX"), 0.0);
    EXPECT_EQ(melDouble("getAttr p.outputTranslate[2].outputTranslateZ"), 0.0);
    EXPECT_TRUE(matricesNear(pinOutputMatrix("p", 1), MMatrix(), 0.0));
}

TEST_F(PinRobustness, OutputElementsBeyondTheBoundPinsReadAsDefaultsAndTheBoundOnesStay)
{
    for (const char* command : {"surfacePinBind", "surfaceUVPinBind"}) {
        SCOPED_TRACE(command);
        const std::string pin = melString(std::string(command) + " pPlane1 c0").asChar();
        ASSERT_FALSE(pin.empty());
        const MVector bound = worldPosition("c0");
        ASSERT_TRUE(mel("getAttr " + pin + ".outputTranslate[1]"));
        EXPECT_EQ(melDouble("getAttr " + pin + ".outputTranslate[1].outputTranslateY"), 0.0);
        EXPECT_TRUE(matricesNear(pinOutputMatrix(pin, 3), MMatrix(), 0.0));
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), bound, 1e-9));
        EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix(pin, 0)), bound, 1e-5));
        ASSERT_TRUE(mel("delete " + pin));
    }
}

TEST_F(PinRobustness, ShortenedBindArraysLeaveConnectedControlsWhereTheyWere)
{
    for (const char* command : {"surfacePinBind -c translate", "surfacePinBind", "surfaceUVPinBind"}) {
        SCOPED_TRACE(command);
        const std::string pin = melString(std::string(command) + " pPlane1 c0 c1").asChar();
        ASSERT_FALSE(pin.empty());
        const MVector first = worldPosition("c0");
        const MVector second = worldPosition("c1");
        ASSERT_TRUE(finite(first) && finite(second));

        // One pin left: the second control keeps the last position it was given.
        const bool uvPin = std::string(command).find("UV") != std::string::npos;
        const std::string kept = pin + (uvPin ? ".pinUVs" : ".baryWeights");
        std::vector<double> values = doubleArray(kept);
        ASSERT_GE(values.size(), uvPin ? 4u : 6u);
        values.resize(uvPin ? 2 : 3);
        setDoubleArray(kept, values);
        EXPECT_TRUE(vectorsNear(worldPosition("c1"), second, 1e-9));
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), first, 1e-5));

        // No pin left, as in a saved scene whose array was emptied.
        setDoubleArray(kept, {});
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), first, 1e-9));
        EXPECT_TRUE(vectorsNear(worldPosition("c1"), second, 1e-9));
        ASSERT_TRUE(mel("delete " + pin));
    }
}

TEST_F(PinRobustness, NonFiniteSurfacePinBindDataRejectsThatPinWithAnError)
{
    struct Damage
    {
        const char* attribute;
        unsigned pinStride;  // values per pin; 0 for the matrix arrays
    };
    const Damage damages[] = {{"baryWeights", 3}, {"bindTangents", 2}, {"bindSurfaceMatrices", 0},
                              {"bindControlMatrices", 0}};
    for (const Damage& damage : damages) {
        for (double bad : {kNaN, kInf}) {
            SCOPED_TRACE(std::string(damage.attribute) + (std::isnan(bad) ? " nan" : " inf"));
            // Maintain offset, so that both matrix arrays are in use.
            const std::string pin = melString("surfacePinBind -mo pPlane1 c0 c1").asChar();
            ASSERT_FALSE(pin.empty());
            const MVector first = worldPosition("c0");
            const MMatrix second = pinOutputMatrix(pin, 1);
            const std::string plug = pin + "." + damage.attribute;
            if (damage.pinStride > 0) {
                std::vector<double> values = doubleArray(plug);
                ASSERT_GE(values.size(), 2 * damage.pinStride);
                values[damage.pinStride] = bad;  // the second pin's first value
                setDoubleArray(plug, values);
            } else {
                std::vector<MMatrix> matrices = matrixArray(plug);
                ASSERT_EQ(matrices.size(), 2u);
                matrices[1][3][1] = bad;
                setMatrixArray(plug, matrices);
            }

            host::MessageCapture capture;
            const MMatrix damaged = pinOutputMatrix(pin, 1);
            EXPECT_EQ(errorsOf(capture), pin + ": pin 1 has non-finite " + damage.attribute +
                                             "; the pin is left out until it is bound again.\n");
            EXPECT_TRUE(finite(damaged));
            EXPECT_TRUE(matricesNear(damaged, second, 1e-12));
            EXPECT_TRUE(finite(worldPosition("c1")));
            // The other pin is untouched, and the error is not repeated on every pull.
            EXPECT_TRUE(vectorsNear(worldPosition("c0"), first, 1e-5));
            capture.clear();
            ASSERT_TRUE(mel("move -r 0 1 0 pPlane1"));
            EXPECT_TRUE(vectorsNear(worldPosition("c0"), first + MVector(0, 1, 0), 1e-5));
            EXPECT_TRUE(matricesNear(pinOutputMatrix(pin, 1), second, 1e-12));
            EXPECT_EQ(errorsOf(capture), "");
            ASSERT_TRUE(mel("move -r 0 -1 0 pPlane1"));
            ASSERT_TRUE(mel("delete " + pin));
        }
    }
}

TEST_F(PinRobustness, NonFiniteUVPinBindDataRejectsThatPinWithAnError)
{
    for (const char* attribute : {"pinUVs", "bindTangents"}) {
        SCOPED_TRACE(attribute);
        const std::string pin = melString("surfaceUVPinBind pPlane1 c0 c1").asChar();
        ASSERT_FALSE(pin.empty());
        const MVector first = worldPosition("c0");
        const MMatrix second = pinOutputMatrix(pin, 1);
        const std::string plug = pin + "." + attribute;
        std::vector<double> values = doubleArray(plug);
        ASSERT_EQ(values.size(), 4u);
        values[3] = kNaN;
        setDoubleArray(plug, values);

        host::MessageCapture capture;
        EXPECT_TRUE(matricesNear(pinOutputMatrix(pin, 1), second, 1e-12));
        EXPECT_EQ(errorsOf(capture), pin + ": pin 1 has non-finite " + attribute +
                                         "; the pin is left out until it is bound again.\n");
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), first, 1e-5));
        EXPECT_TRUE(finite(worldPosition("c1")));
        ASSERT_TRUE(mel("delete " + pin));
    }
}

TEST_F(PinRobustness, SavedSceneWithEmptiedBindArraysOpensAndQueries)
{
    const std::string pin = melString("surfacePinBind -c translate pPlane1 c0 c1").asChar();
    ASSERT_FALSE(pin.empty());
    setDoubleArray(pin + ".baryWeights", {});
    const std::string path = "/tmp/pellixPinRobustness" + std::to_string(::getpid()) + ".ma";
    ASSERT_TRUE(mel("file -rename \"" + path + "\""));
    ASSERT_TRUE(mel("file -save -type \"mayaAscii\""));
    ASSERT_TRUE(mel("file -force -new"));
    ASSERT_TRUE(mel("file -force -open \"" + path + "\""));
    std::remove(path.c_str());

    // No pin is left to place the controls: their first queries read the outputs' defaults.
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), MVector(0.0, 0.0, 0.0), 0.0));
    EXPECT_TRUE(vectorsNear(worldPosition("c1"), MVector(0.0, 0.0, 0.0), 0.0));
    EXPECT_EQ(melDouble("getAttr " + pin + ".outputTranslate[1].outputTranslateZ"), 0.0);
}

TEST_F(PinRobustness, APinFirstEvaluatedOnNonFiniteDataGivesAFiniteOutput)
{
    ASSERT_TRUE(mel("createNode surfacePin -n p"));
    ASSERT_TRUE(mel("connectAttr pPlaneShape1.worldMesh[0] p.deformedGeometry"));
    setIntArray("p.vertexIndices", {0, 1, 5});
    setIntArray("p.normalIndices", {0, 1, 5});
    setDoubleArray("p.baryWeights", {kNaN, 0.0, 1.0});
    setDoubleArray("p.bindTangents", {1.0, 0.0});
    host::MessageCapture capture;
    const MMatrix output = pinOutputMatrix("p", 0);
    EXPECT_TRUE(finite(output));
    EXPECT_TRUE(matricesNear(output, MMatrix(), 0.0));
    EXPECT_EQ(errorsOf(capture), "p: pin 0 has non-finite baryWeights; the pin is left out until it is bound again.\n");

    // Bound again with finite data, the pin follows the mesh once more.
    setDoubleArray("p.baryWeights", {0.0, 0.0, 1.0});
    capture.clear();
    EXPECT_GT(translationOf(pinOutputMatrix("p", 0)).length(), 0.0);
    EXPECT_EQ(errorsOf(capture), "");
}
