#include "ViewportTestScene.h"

#include "dg/Registry.h"

#include <maya/MDGContext.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxGeometryOverride.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MDrawRegistry.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <cmath>
#include <cstdlib>

using namespace MHWRender;

namespace viewtest
{

const char* const kTestPlugin = "viewportTestTypes";
const QColor kBackground = QColor::fromRgbF(0.36, 0.36, 0.36);

std::map<std::string, ShapeLook>& shapeLooks()
{
    static std::map<std::string, ShapeLook> looks;
    return looks;
}

Observed& observed()
{
    static Observed o;
    return o;
}

namespace
{

class TestShape : public MPxLocatorNode
{
public:
    static void* creator() { return new TestShape; }
    static MStatus initialize() { return MStatus::kSuccess; }
};

std::pair<bool, double> currentContext()
{
    const MDGContext context = MDGContext::current();
    MTime time;
    context.getTime(time);
    return {context.isNormal(), time.value()};
}

class TestGeometryOverride : public MPxGeometryOverride
{
public:
    static MPxGeometryOverride* creator(const MObject& obj) { return new TestGeometryOverride(obj); }
    explicit TestGeometryOverride(const MObject& obj) : MPxGeometryOverride(obj), fNode(obj)
    {
        ++observed().geometryOverridesAlive;
    }
    ~TestGeometryOverride() override { --observed().geometryOverridesAlive; }

    DrawAPI supportedDrawAPIs() const override { return kAllDevices; }
    bool hasUIDrawables() const override { return true; }
    bool supportsVP2CustomCaching() const override { return true; }
    void updateDG() override
    {
        observed().updateContexts.push_back(currentContext());
        fSpec = shapeLooks()[MFnDependencyNode(fNode).name().asChar()];
    }
    void updateRenderItems(const MDagPath&, MRenderItemList& list) override
    {
        const MShaderManager* shaders = MRenderer::theRenderer()->getShaderManager();
        for (const ItemLook& look : fSpec.items) {
            int at = list.indexOf(look.name.c_str());
            MRenderItem* item = at >= 0 ? list.itemAt(at)
                                        : MRenderItem::Create(look.name.c_str(), MRenderItem::NonMaterialSceneItem,
                                                              look.primitive);
            if (at < 0) list.append(item);
            MShaderInstance* shader = shaders->getStockShader(look.shader, look.preDraw, look.postDraw);
            shader->setParameter("solidColor", look.color);
            const float width[2] = {look.lineWidth, look.lineWidth};
            shader->setParameter("lineWidth", width);
            const float size[2] = {look.pointSize, look.pointSize};
            shader->setParameter("pointSize", size);
            shader->setIsTransparent(look.transparent);
            item->setShader(shader);
            shaders->releaseShader(shader);  // the item keeps its own reference
            item->depthPriority(look.depthPriority);
            item->setDrawMode(MGeometry::kAll);
        }
    }
    bool isStreamDirty(const MVertexBufferDescriptor&) override { return fSpec.streamsDirty; }
    void populateGeometry(const MGeometryRequirements& requirements, const MRenderItemList& items,
                          MGeometry& data) override
    {
        observed().populateContexts.push_back(currentContext());
        std::vector<float> all;
        std::map<std::string, std::pair<unsigned int, unsigned int>> ranges;
        for (const ItemLook& look : fSpec.items) {
            ranges[look.name] = {unsigned(all.size() / 3), unsigned(look.positions.size() / 3)};
            all.insert(all.end(), look.positions.begin(), look.positions.end());
        }
        const MVertexBufferDescriptorList& streams = requirements.vertexRequirements();
        for (int i = 0; i < streams.length(); ++i) {
            MVertexBufferDescriptor d;
            streams.getDescriptor(i, d);
            if (d.semantic() != MGeometry::kPosition) continue;
            MVertexBuffer* buffer = data.createVertexBuffer(d);
            float* p = static_cast<float*>(buffer->acquire(unsigned(all.size() / 3), true));
            std::copy(all.begin(), all.end(), p);
            buffer->commit(p);
        }
        for (int i = 0; i < items.length(); ++i) {
            const MRenderItem* item = items.itemAt(i);
            auto range = ranges[item->name().asChar()];
            MIndexBuffer* index = data.createIndexBuffer(MGeometry::kUnsignedInt32);
            unsigned int* p = static_cast<unsigned int*>(index->acquire(range.second, true));
            for (unsigned int k = 0; k < range.second; ++k) p[k] = range.first + k;
            index->commit(p);
            item->associateWithIndexBuffer(index);
        }
    }
    void addUIDrawables(const MDagPath&, MUIDrawManager& manager, const MFrameContext& context) override
    {
        if (fSpec.ui) fSpec.ui(manager, context);
    }
    void cleanUp() override {}

private:
    MObject fNode;
    ShapeLook fSpec;
};

struct CountedData : public MUserData
{
    CountedData() : MUserData() { ++observed().userDataAlive; }
    ~CountedData() override { --observed().userDataAlive; }
};

class TestDrawOverride : public MPxDrawOverride
{
public:
    static MPxDrawOverride* creator(const MObject& obj) { return new TestDrawOverride(obj); }
    explicit TestDrawOverride(const MObject& obj) : MPxDrawOverride(obj, nullptr, false)
    {
        ++observed().drawOverridesAlive;
    }
    ~TestDrawOverride() override { --observed().drawOverridesAlive; }
    MUserData* prepareForDraw(const MDagPath&, const MDagPath&, const MFrameContext&, MUserData* old) override
    {
        ++observed().prepareForDrawCalls;
        return old ? old : new CountedData;
    }
};

} // namespace

void registerTestTypes()
{
    static bool done = false;
    if (done) return;
    done = true;
    host::NodeTypeInfo geo;
    geo.name = "testGeoShape";
    geo.id = MTypeId(0x7F001);
    geo.creator = &TestShape::creator;
    geo.initialize = &TestShape::initialize;
    geo.type = MPxNode::kLocatorNode;
    geo.classification = "drawdb/geometry/testGeoShape";
    geo.pluginName = kTestPlugin;
    host::registerNodeType(geo);
    host::NodeTypeInfo draw = geo;
    draw.name = "testDrawShape";
    draw.id = MTypeId(0x7F002);
    draw.classification = "drawdb/geometry/testDrawShape";
    host::registerNodeType(draw);
    MDrawRegistry::registerGeometryOverrideCreator("drawdb/geometry/testGeoShape", "test",
                                                   &TestGeometryOverride::creator);
    MDrawRegistry::registerDrawOverrideCreator("drawdb/geometry/testDrawShape", "test", &TestDrawOverride::creator);
}

std::vector<float> square(double cx, double cy, double half, double z)
{
    float x0 = float(cx - half), x1 = float(cx + half), y0 = float(cy - half), y1 = float(cy + half), zz = float(z);
    return {x0, y0, zz, x1, y0, zz, x1, y1, zz, x0, y0, zz, x1, y1, zz, x0, y1, zz};
}

Canvas::Canvas(int width, int height) : fWidth(width), fHeight(height)
{
    QSurfaceFormat format;
    format.setVersion(4, 5);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    fSurface = std::make_unique<QOffscreenSurface>();
    fSurface->setFormat(format);
    fSurface->create();
    fContext = std::make_unique<QOpenGLContext>();
    fContext->setFormat(format);
    fContext->create();
    fContext->makeCurrent(fSurface.get());
    fTarget = std::make_unique<QOpenGLFramebufferObject>(width, height,
                                                         QOpenGLFramebufferObject::CombinedDepthStencil);
}

Canvas::~Canvas()
{
    fContext->makeCurrent(fSurface.get());
    fTarget.reset();
    fContext->doneCurrent();
}

host::ViewSetup Canvas::view() const
{
    host::ViewSetup v;
    v.view.setToIdentity();
    v.view(3, 2) = -10.0;  // camera at z = 10
    const double n = 0.1, f = 100.0;
    v.projection.setToIdentity();
    v.projection(0, 0) = 0.2;
    v.projection(1, 1) = 0.2;
    v.projection(2, 2) = -2.0 / (f - n);
    v.projection(3, 2) = -(f + n) / (f - n);
    v.width = fWidth;
    v.height = fHeight;
    return v;
}

void Canvas::draw(const host::ViewSetup& setup)
{
    fContext->makeCurrent(fSurface.get());
    fTarget->bind();
    host::renderFrame(setup);
    fImage = fTarget->toImage();
    fTarget->release();
}

QColor Canvas::pixel(int x, int y) const
{
    return fImage.pixelColor(x, fHeight - 1 - y);
}

QColor Canvas::pixelAtWorld(double x, double y) const
{
    return pixel(int(std::floor((x + 5.0) * fWidth / 10.0)), int(std::floor((y + 5.0) * fHeight / 10.0)));
}

bool near(const QColor& a, const QColor& b)
{
    return nearWithin(a, b, 3);
}

bool nearWithin(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(r, g, b);
}

} // namespace viewtest
