#include "views/Views.h"

#include "commands/CommandExecution.h"
#include "commands/Session.h"
#include "dg/Messages.h"
#include "ui/MenuModel.h"
#include "views/CameraNavigation.h"
#include "views/CameraWatch.h"
#include "views/CommandPort.h"
#include "views/CameraView.h"
#include "views/Hotkeys.h"
#include "views/ScriptEditor.h"
#include "views/StartupCameras.h"
#include "views/ToolInteraction.h"

#include <maya/M3dView.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QKeyEvent>
#include <QImage>
#include <QMainWindow>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QThread>
#include <QVBoxLayout>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace host {

namespace {

constexpr unsigned kPanelCount = 4;
constexpr unsigned kPerspPanel = 3;
// modelPanel1..4 look through these, as in Maya's default layout.
const char* const kStartupCameraOf[kPanelCount] = {"top", "front", "side", "persp"};

class ModelPanelWidget;

struct PanelState
{
    MString name;
    MString camera; // full path of the camera shape looked through; empty: the startup one
    unsigned int displayStyle = MHWRender::MFrameContext::kGouraudShaded;
    unsigned int objectDisplay = static_cast<unsigned int>(M3dView::kDisplayEverything);
    bool grid = true;  // modelEditor -grid
    ModelPanelWidget* widget = nullptr;
    // The camera part of the view (camera, view, projection, port size), kept
    // while the camera generation has not moved: views are asked for it
    // hundreds of times per mouse move. 0: nothing kept.
    ViewSetup cameraView;
    std::uint64_t cameraViewGeneration = 0;
    // The port size in device pixels, kept until a panel is resized, shown or hidden or moves
    // to another screen: reading the widget's pixel ratio from Qt costs more than projecting a
    // point, and views ask for the size on every projection. -1: not known.
    int portWidth = -1;
    int portHeight = -1;
    // The inverse of the kept view's view * projection, for port pixels to world rays.
    MMatrix clipToWorld;
    bool clipToWorldKnown = false;
};

struct ViewsState
{
    bool started = false;
    QApplication* application = nullptr; // made here or found; kept for the process
    QMainWindow* window = nullptr;
    PanelState panels[kPanelCount];
    unsigned int active = kPerspPanel;
    // Off-screen images render in a context of their own, shared with nothing,
    // so that they do not depend on the window being shown.
    std::unique_ptr<QOffscreenSurface> imageSurface;
    std::unique_ptr<QOpenGLContext> imageContext;
};

ViewsState& views()
{
    static ViewsState state;
    return state;
}

// A hidden panel takes the size of a shown one, so any panel's change may change every size.
void forgetPortSizes()
{
    for (PanelState& panel : views().panels)
        panel.portWidth = panel.portHeight = -1;
}

QSurfaceFormat viewFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(4, 5);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSamples(0); // no multisampling: the same pixels on every run
    format.setSwapInterval(0);
    return format;
}

class ModelPanelWidget : public QOpenGLWidget
{
public:
    ModelPanelWidget(unsigned int index, QWidget* parent) : QOpenGLWidget(parent), mIndex(index)
    {
        setFormat(viewFormat());
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(16, 16);
    }

    bool initialized() const { return mInitialized; }
    bool contextValid() const { return mContextValid; }

protected:
    // What changes the port's size in device pixels: the widget's size, which panels are
    // shown, and the screen (its pixel ratio), where the widget's own framebuffer follows too.
    bool event(QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ScreenChangeInternal:
            forgetPortSizes();
            break;
        default:
            break;
        }
        return QOpenGLWidget::event(event);
    }

    void initializeGL() override
    {
        mInitialized = true;
        const QSurfaceFormat actual = context() ? context()->format() : QSurfaceFormat();
        mContextValid = context() && context()->isValid() &&
                        (actual.majorVersion() > 4 || (actual.majorVersion() == 4 && actual.minorVersion() >= 5));
    }

    void paintGL() override
    {
        if (!mContextValid)
            return;
        fireViewPreRender(panelName(mIndex));
        const ViewSetup setup = panelViewSetup(mIndex);
        context()->functions()->glViewport(0, 0, setup.width, setup.height);
        renderFrame(setup);
    }

    void focusInEvent(QFocusEvent* event) override
    {
        setActivePanel(mIndex);
        QOpenGLWidget::focusInEvent(event);
    }

    // The tools act on what the application's filters and the camera navigation let through.
    void mousePressEvent(QMouseEvent* event) override
    {
        if (!toolMousePress(mIndex, event->localPos(), event->button(), event->modifiers()))
            QOpenGLWidget::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!toolMouseMove(mIndex, event->localPos()))
            QOpenGLWidget::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!toolMouseRelease(mIndex, event->localPos(), event->button()))
            QOpenGLWidget::mouseReleaseEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (!handlePanelHotkey(mIndex, event))
            QOpenGLWidget::keyPressEvent(event);
    }

private:
    unsigned int mIndex;
    bool mInitialized = false;
    bool mContextValid = false;
};

class MainWindow : public QMainWindow
{
public:
    MainWindow()
    {
        setWindowTitle("pellix");
        // The views above the command line; the script output docked below them.
        auto* central = new QWidget(this);
        auto* stack = new QVBoxLayout(central);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(0);
        auto* viewsArea = new QWidget(central);
        viewsArea->setObjectName("viewPanes");
        auto* layout = new QGridLayout(viewsArea);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
        // Maya's four-view layout: top and persp above, front and side below.
        const int row[kPanelCount] = {0, 1, 1, 0};
        const int column[kPanelCount] = {0, 0, 1, 1};
        ViewsState& state = views();
        for (unsigned i = 0; i < kPanelCount; ++i) {
            auto* panel = new ModelPanelWidget(i, viewsArea);
            panel->setObjectName(state.panels[i].name.asChar());
            layout->addWidget(panel, row[i], column[i]);
            state.panels[i].widget = panel;
            installCameraNavigation(panel, i);
            // One perspective panel, as Maya starts.
            panel->setVisible(i == kPerspPanel);
        }
        stack->addWidget(viewsArea, 1);
        stack->addWidget(createCommandLine(central));
        setCentralWidget(central);

        auto* dock = new QDockWidget("Script Editor", this);
        dock->setObjectName("scriptEditorPanel");
        dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
        dock->setWidget(createScriptOutput(dock));
        addDockWidget(Qt::BottomDockWidgetArea, dock);
        resizeDocks({dock}, {150}, Qt::Vertical);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        // The panels' overrides go before their contexts do.
        if (ModelPanelWidget* panel = views().panels[kPerspPanel].widget) {
            panel->makeCurrent();
            releaseOverrides(MString());
            panel->doneCurrent();
        }
        QMainWindow::closeEvent(event);
    }
};

std::string programName(int argc, char** argv)
{
    if (argc < 1 || !argv || !argv[0] || !*argv[0])
        return "pellix";
    const char* slash = std::strrchr(argv[0], '/');
    return slash ? slash + 1 : argv[0];
}

// Whether an X server answers at `display` (":1", "unix:0", "host:0.0"), so that a
// missing server gives a message instead of Qt aborting the process.
bool displayReachable(const std::string& display)
{
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string hostName = display.substr(0, colon);
    const int number = std::atoi(display.c_str() + colon + 1);
    if (hostName.empty() || hostName == "unix" || hostName[0] == '/') {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        ::close(fd);
        return connected;
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(6000 + number);
    if (::getaddrinfo(hostName.c_str(), port.c_str(), &hints, &found) != 0 || !found)
        return false;
    bool connected = false;
    for (addrinfo* a = found; a && !connected; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (fd < 0)
            continue;
        connected = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return connected;
}

bool validPanel(unsigned int index)
{
    return views().started && index < kPanelCount;
}

MStatus ensureImageContext(std::string& error)
{
    ViewsState& state = views();
    if (state.imageContext)
        return MS::kSuccess;
    auto surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(viewFormat());
    surface->create();
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(viewFormat());
    if (!surface->isValid() || !context->create()) {
        error = "cannot create an OpenGL context for images.";
        return MS::kFailure;
    }
    state.imageSurface = std::move(surface);
    state.imageContext = std::move(context);
    return MS::kSuccess;
}

} // namespace

MStatus startViews(int& argc, char** argv, std::string& error, int width, int height)
{
    ViewsState& state = views();
    if (state.started)
        return MS::kSuccess;
    const std::string program = programName(argc, argv);
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        error = program + ": -gui needs an X display (DISPLAY is not set).";
        return MS::kFailure;
    }
    if (!displayReachable(display)) {
        error = program + ": -gui cannot open the X display " + display + ".";
        return MS::kFailure;
    }
    if (QCoreApplication::instance() && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        error = program + ": the views need a QApplication, but another application object exists.";
        return MS::kFailure;
    }
    if (!QCoreApplication::instance()) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        if (!std::getenv("XDG_RUNTIME_DIR")) {
            // Qt wants a private runtime folder; make the one it would pick itself, quietly.
            const std::string runtime = "/tmp/runtime-" + std::to_string(::getuid());
            ::mkdir(runtime.c_str(), 0700);
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
        }
        QSurfaceFormat::setDefaultFormat(viewFormat());
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        state.application = new QApplication(argc, argv);
    } else {
        state.application = qobject_cast<QApplication*>(QCoreApplication::instance());
    }

    for (unsigned i = 0; i < kPanelCount; ++i) {
        state.panels[i] = PanelState();
        state.panels[i].name = MString("modelPanel") + static_cast<int>(i + 1);
    }
    state.active = kPerspPanel;
    startCameraWatch();
    state.window = new MainWindow;
    state.window->resize(width, height);
    attachMainWindow(state.window);
    state.started = true;
    setMayaState(MGlobal::kInteractive);
    setRendererActive(true);
    state.window->show();

    // Wait for the shown panel's OpenGL context.
    ModelPanelWidget* persp = state.panels[kPerspPanel].widget;
    QElapsedTimer timer;
    timer.start();
    while (!persp->initialized() && timer.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!persp->initialized())
            QThread::msleep(5);
    }
    if (!persp->initialized() || !persp->contextValid()) {
        error = program + ": the views need OpenGL 4.5 core profile, which this display does not offer.";
        stopViews();
        return MS::kFailure;
    }
    persp->setFocus();
    processEvents();
    // The views get the size asked for; the command line and the script output come on top.
    if (QWidget* area = state.window->findChild<QWidget*>("viewPanes")) {
        const QSize extra = state.window->size() - area->size();
        state.window->resize(width + extra.width(), height + extra.height());
        processEvents();
    }
    return MS::kSuccess;
}

bool viewsStarted()
{
    return views().started;
}

void stopViews()
{
    ViewsState& state = views();
    if (!state.started)
        return;
    // Overrides and their GL objects go first, while a context is there to free them in.
    if (ModelPanelWidget* panel = state.panels[kPerspPanel].widget) {
        if (panel->initialized()) {
            panel->makeCurrent();
            releaseOverrides(MString());
            panel->doneCurrent();
        }
    }
    if (state.imageContext) {
        state.imageContext->makeCurrent(state.imageSurface.get());
        releaseOverrides(MString());
        state.imageContext->doneCurrent();
    }
    closeAllCommandPorts();
    setRendererActive(false);
    state.imageContext.reset();
    state.imageSurface.reset();
    detachMainWindow();
    delete state.window;
    state.window = nullptr;
    for (PanelState& panel : state.panels)
        panel = PanelState();
    stopCameraWatch();
    state.started = false;
    // The application stays until the process ends: closing its X connection would
    // unload Mesa's driver while the driver's own allocations are still held.
    QApplication::processEvents();
    setMayaState(MGlobal::kBatch);
}

unsigned int panelCount()
{
    return views().started ? kPanelCount : 0;
}

MString panelName(unsigned int index)
{
    return validPanel(index) ? views().panels[index].name : MString();
}

int panelIndex(const MString& name)
{
    if (!views().started)
        return -1;
    for (unsigned i = 0; i < kPanelCount; ++i)
        if (views().panels[i].name == name)
            return static_cast<int>(i);
    return -1;
}

QWidget* panelWidget(unsigned int index)
{
    return validPanel(index) ? views().panels[index].widget : nullptr;
}

bool panelShown(unsigned int index)
{
    return validPanel(index) && views().panels[index].widget->isVisible();
}

bool fourPanelLayout()
{
    if (!views().started)
        return false;
    for (const PanelState& panel : views().panels)
        if (!panel.widget->isVisible())
            return false;
    return true;
}

void showSinglePanel(unsigned int index)
{
    if (!validPanel(index))
        return;
    ViewsState& state = views();
    for (unsigned i = 0; i < kPanelCount; ++i)
        state.panels[i].widget->setVisible(i == index);
    state.panels[index].widget->setFocus();
    setActivePanel(index);
    scheduleRefreshAll();
}

void showFourPanels()
{
    if (!views().started)
        return;
    for (PanelState& panel : views().panels)
        panel.widget->setVisible(true);
    scheduleRefreshAll();
}

unsigned int activePanel()
{
    return views().active;
}

void setActivePanel(unsigned int index)
{
    if (validPanel(index))
        views().active = index;
}

namespace {

// The camera a panel looks through; `fellBack` when the panel's own camera no
// longer resolves and the startup one stands in.
MDagPath resolvePanelCamera(unsigned int index, bool& fellBack)
{
    MDagPath camera;
    fellBack = false;
    if (index >= kPanelCount)
        return camera;
    const MString& name = views().panels[index].camera;
    if (name.length() > 0) {
        if (findCamera(name, camera))
            return camera;
        fellBack = true;
    }
    startupCamera(kStartupCameraOf[index], camera);
    return camera;
}

} // namespace

MDagPath panelCamera(unsigned int index)
{
    bool fellBack = false;
    return resolvePanelCamera(index, fellBack);
}

MStatus setPanelCamera(unsigned int index, const MDagPath& cameraShape)
{
    if (!validPanel(index) || !cameraShape.isValid() || !cameraShape.node().hasFn(MFn::kCamera))
        return MS::kInvalidParameter;
    views().panels[index].camera = cameraShape.fullPathName();
    noteCameraChange();
    scheduleRefresh(index);
    return MS::kSuccess;
}

void panelPortSize(unsigned int index, int& width, int& height)
{
    width = height = 0;
    if (!validPanel(index))
        return;
    ViewsState& state = views();
    PanelState& kept = state.panels[index];
    if (kept.portWidth >= 0) {
        width = kept.portWidth;
        height = kept.portHeight;
        return;
    }
    QWidget* widget = kept.widget;
    if (!widget->isVisible()) {
        // A hidden panel is as big as the shown one would make it.
        for (const PanelState& panel : state.panels)
            if (panel.widget->isVisible()) {
                widget = panel.widget;
                break;
            }
    }
    const double ratio = widget->devicePixelRatioF();
    width = static_cast<int>(widget->width() * ratio + 0.5);
    height = static_cast<int>(widget->height() * ratio + 0.5);
    kept.portWidth = width;
    kept.portHeight = height;
}

unsigned int panelDisplayStyle(unsigned int index)
{
    return validPanel(index) ? views().panels[index].displayStyle
                             : static_cast<unsigned int>(MHWRender::MFrameContext::kGouraudShaded);
}

void setPanelDisplayStyle(unsigned int index, unsigned int style)
{
    if (!validPanel(index))
        return;
    views().panels[index].displayStyle = style;
    scheduleRefresh(index);
}

unsigned int panelObjectDisplay(unsigned int index)
{
    return validPanel(index) ? views().panels[index].objectDisplay : 0u;
}

void setPanelObjectDisplay(unsigned int index, unsigned int mask)
{
    if (!validPanel(index))
        return;
    views().panels[index].objectDisplay = mask;
    scheduleRefresh(index);
}

bool panelGrid(unsigned int index)
{
    return validPanel(index) && views().panels[index].grid;
}

void setPanelGrid(unsigned int index, bool shown)
{
    if (!validPanel(index))
        return;
    views().panels[index].grid = shown;
    scheduleRefresh(index);
}

const ViewSetup* panelCameraView(unsigned int index)
{
    if (!validPanel(index))
        return nullptr;
    int width = 0;
    int height = 0;
    panelPortSize(index, width, height);
    PanelState& panel = views().panels[index];
    const std::uint64_t generation = cameraGeneration();
    if (panel.cameraViewGeneration == generation && panel.cameraView.width == width &&
        panel.cameraView.height == height)
        return &panel.cameraView;
    bool fellBack = false;
    const MDagPath camera = resolvePanelCamera(index, fellBack);
    ViewSetup setup;
    if (!cameraViewSetup(camera, width, height, setup)) {
        setup.width = width;
        setup.height = height;
    }
    panel.cameraView = setup;
    panel.cameraViewGeneration = 0;
    panel.clipToWorldKnown = false;
    // A stand-in for a camera that no longer resolves is not kept: a node taking
    // the stored name would change the answer without telling any watched node.
    if (!fellBack && setup.camera.isValid()) {
        watchPanelCamera(index, setup.camera);
        // Reading the camera may have evaluated something that moved the generation.
        if (cameraGeneration() == generation)
            panel.cameraViewGeneration = generation;
    }
    return &panel.cameraView;
}

MStatus panelPortToWorld(unsigned int index, double x, double y, MPoint& nearPoint, MPoint& farPoint)
{
    const ViewSetup* view = panelCameraView(index);
    if (!view)
        return MS::kFailure;
    PanelState& panel = views().panels[index];
    if (!panel.clipToWorldKnown) {
        panel.clipToWorld = (view->view * view->projection).inverse();
        panel.clipToWorldKnown = true;
    }
    return portToWorld(*view, panel.clipToWorld, x, y, nearPoint, farPoint);
}

ViewSetup panelViewSetup(unsigned int index)
{
    const ViewSetup* cameraView = panelCameraView(index);
    if (!cameraView)
        return ViewSetup();
    ViewSetup setup = *cameraView;
    const PanelState& panel = views().panels[index];
    setup.devicePixelRatio = panel.widget->devicePixelRatioF();
    setup.displayStyle = panel.displayStyle;
    setup.objectDisplay = panel.objectDisplay;
    setup.panelName = panel.name;
    setup.filterPanel = panel.name;
    setup.decorations = true;
    setup.grid = panel.grid;
    return setup;
}

void scheduleRefresh(unsigned int index)
{
    if (validPanel(index))
        views().panels[index].widget->update();
}

void scheduleRefreshAll()
{
    for (unsigned i = 0; i < panelCount(); ++i)
        scheduleRefresh(i);
}

void refreshNow(unsigned int index)
{
    if (validPanel(index) && views().panels[index].widget->isVisible())
        views().panels[index].widget->repaint();
}

bool pickPanelShape(unsigned int index, double x, double y, double radius, MDagPath& shape)
{
    if (!validPanel(index))
        return false;
    ModelPanelWidget* widget = views().panels[index].widget;
    if (!widget->initialized() || !widget->contextValid())
        return false;
    const ViewSetup setup = panelViewSetup(index);
    if (setup.width <= 0 || setup.height <= 0)
        return false;
    const double ratio = setup.devicePixelRatio > 0.0 ? setup.devicePixelRatio : 1.0;
    // Far outside the port nothing is under the cursor (and the pixel would not fit an int).
    if (!(std::fabs(x * ratio) < 1e6) || !(std::fabs(y * ratio) < 1e6) || !(radius >= 0.0 && radius < 1e3))
        return false;
    const int portX = static_cast<int>(std::floor(x * ratio));
    const int portY = setup.height - 1 - static_cast<int>(std::floor(y * ratio));
    widget->makeCurrent();
    bool hit = false;
    {
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        format.setSamples(0);
        QOpenGLFramebufferObject target(setup.width, setup.height, format);
        if (target.isValid() && target.bind()) {
            hit = pickNearest(setup, portX, portY, static_cast<int>(std::lround(radius * ratio)), shape);
            target.release();
        }
    }
    widget->doneCurrent();
    return hit;
}

MStatus writeViewImage(unsigned int index, const std::string& fileName, int width, int height)
{
    if (!validPanel(index))
        return MS::kFailure;
    if (width <= 0 || height <= 0)
        panelPortSize(index, width, height);
    if (width <= 0 || height <= 0)
        return MS::kInvalidParameter;
    std::string error;
    if (!ensureImageContext(error)) {
        MGlobal::displayError(commandMessage(MString(error.c_str())));
        return MS::kFailure;
    }
    ViewsState& state = views();
    if (!state.imageContext->makeCurrent(state.imageSurface.get())) {
        MGlobal::displayError(commandMessage("cannot make the image context current."));
        return MS::kFailure;
    }
    ViewSetup setup = panelViewSetup(index);
    if (!cameraViewSetup(setup.camera, width, height, setup)) {
        setup.width = width;
        setup.height = height;
    }
    setup.devicePixelRatio = 1.0;
    setup.panelName = MString();

    QImage image;
    {
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        format.setSamples(0);
        QOpenGLFramebufferObject target(width, height, format);
        if (!target.isValid() || !target.bind()) {
            state.imageContext->doneCurrent();
            MGlobal::displayError(commandMessage(MString("cannot create an image of ") + width + " x " + height + " pixels."));
            return MS::kFailure;
        }
        QOpenGLFunctions* gl = state.imageContext->functions();
        gl->glViewport(0, 0, width, height);
        renderFrame(setup);
        gl->glFinish();
        image = target.toImage().convertToFormat(QImage::Format_RGB888);
        target.release();
    }
    state.imageContext->doneCurrent();
    if (!image.save(QString::fromStdString(fileName), "PNG")) {
        MGlobal::displayError(commandMessage(MString("cannot write ") + fileName.c_str() + "."));
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus writeWindowImage(const std::string& fileName)
{
    ViewsState& state = views();
    if (!state.started || !state.window)
        return MS::kFailure;
    processEvents();
    // The panels render into their own framebuffers; grabbing the window composes them.
    const QImage image = state.window->grab().toImage().convertToFormat(QImage::Format_RGB888);
    if (!image.save(QString::fromStdString(fileName), "PNG")) {
        MGlobal::displayError(commandMessage(MString("cannot write ") + fileName.c_str() + "."));
        return MS::kFailure;
    }
    return MS::kSuccess;
}

void runViewsUntilClosed()
{
    ViewsState& state = views();
    if (!state.started || !state.window)
        return;
    state.application->setQuitOnLastWindowClosed(true);
    if (state.window->isVisible())
        state.application->exec();
}

void closeMainWindowLater()
{
    if (QMainWindow* window = views().window)
        QMetaObject::invokeMethod(window, "close", Qt::QueuedConnection);
}

void processEvents()
{
    if (!QCoreApplication::instance())
        return;
    for (int turn = 0; turn < 4; ++turn) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

} // namespace host
