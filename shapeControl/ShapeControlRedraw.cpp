#include "shapeControl/ShapeControlRedraw.h"

#include "plugin/StatusCheck.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlRegistry.h"

#include <maya/M3dView.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MDGMessage.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include <maya/MMessage.h>
#include <maya/MObjectHandle.h>
#include <maya/MSelectionList.h>
#include <maya/MViewport2Renderer.h>

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

namespace {

const char* const kStatusSource = "shapeControlRedraw";

std::atomic<std::uint64_t> lastDrag{0};
std::atomic<std::uint64_t> activeDrag{0};

MCallbackIdArray callbacks;

std::int64_t nowNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool markDirty(const MObjectHandle& node, bool topologyChanged = true)
{
    if (!node.isValid() || !node.isAlive()) {
        return false;
    }
    MHWRender::MRenderer::setGeometryDrawDirty(node.object(), topologyChanged);
    return true;
}

// A deleted control keeps nothing of the hover: an undo brings it back unhovered.
void controlRemoved(MObject& node, void*)
{
    if (activeShapeControl == node) {
        setHoveredShapeControl(MObject::kNullObj, false);
    }
}

// Redraws asked for later, served by one timer on the main thread.
class LaterRedraws : public QObject
{
public:
    LaterRedraws()
    {
        fTimer.setSingleShot(true);
        QObject::connect(&fTimer, &QTimer::timeout, this, [this] { serve(); });
    }

    void add(const MObjectHandle& node, std::int64_t deadline, bool topologyChanged)
    {
        auto found = std::find_if(fPending.begin(), fPending.end(), [&](const Pending& p) { return p.node == node; });
        if (found == fPending.end()) {
            fPending.push_back(Pending{node, deadline, topologyChanged});
        } else {
            found->deadline = std::max(found->deadline, deadline);
            found->topologyChanged = found->topologyChanged || topologyChanged;
        }
        arm();
    }

private:
    struct Pending
    {
        MObjectHandle node;
        std::int64_t deadline;
        bool topologyChanged;
    };

    void serve()
    {
        const std::int64_t now = nowNanoseconds();
        auto due = std::stable_partition(fPending.begin(), fPending.end(),
                                         [&](const Pending& p) { return p.deadline > now; });
        bool marked = false;
        for (auto it = due; it != fPending.end(); ++it) {
            marked = markDirty(it->node, it->topologyChanged) || marked;
        }
        fPending.erase(due, fPending.end());
        // Nothing else may be redrawing then: the views must draw what was marked.
        if (marked) {
            M3dView::scheduleRefreshAllViews();
        }
        arm();
    }

    void arm()
    {
        if (fPending.empty()) {
            fTimer.stop();
            return;
        }
        std::int64_t first = fPending.front().deadline;
        for (const Pending& p : fPending) {
            first = std::min(first, p.deadline);
        }
        const std::int64_t wait = std::max<std::int64_t>(first - nowNanoseconds(), 0);
        // Rounded up to whole milliseconds, so the timer never fires before the deadline.
        fTimer.start(static_cast<int>((wait + 999999) / 1000000));
    }

    QTimer fTimer;
    std::vector<Pending> fPending;
};

LaterRedraws* laterRedraws = nullptr;

} // namespace

void installShapeControlRedraws()
{
    if (callbacks.length() > 0 || QCoreApplication::instance() == nullptr) {
        return;
    }
    MStatus status;
    const MCallbackId removed = MDGMessage::addNodeRemovedCallback(controlRemoved, ShapeControl::typeName, nullptr,
                                                                  &status);
    PELLIX_REPORT(status);
    if (status) {
        callbacks.append(removed);
    }
    if (laterRedraws == nullptr) {
        laterRedraws = new LaterRedraws();
    }
}

void removeShapeControlRedraws()
{
    if (callbacks.length() > 0) {
        PELLIX_REPORT(MMessage::removeCallbacks(callbacks));
        callbacks.clear();
    }
    delete laterRedraws;
    laterRedraws = nullptr;
    activeDrag = 0;
}

void beginViewDrag()
{
    activeDrag = ++lastDrag;
    redrawManipulatedControls();
}

void endViewDrag()
{
    activeDrag = 0;
}

std::uint64_t currentViewDrag()
{
    return activeDrag;
}

void redrawManipulatedControls()
{
    markDirty(activeShapeControl);
    // The controls drawn selected: selected themselves or below a selected transform.
    MSelectionList selection;
    if (!MGlobal::getActiveSelectionList(selection)) {
        return;
    }
    for (unsigned i = 0; i < selection.length(); ++i) {
        MDagPath path;
        if (!selection.getDagPath(i, path)) {
            continue;
        }
        MItDag it;
        MStatus status = it.reset(path, MItDag::kDepthFirst, MFn::kPluginLocatorNode);
        for (; status && !it.isDone(); it.next()) {
            const MObject node = it.currentItem();
            const MFnDependencyNode fn(node, &status);
            if (status && fn.typeId() == ShapeControl::id) {
                markDirty(MObjectHandle(node));
            }
        }
    }
}

void redrawNodeAfter(const MObject& node, std::int64_t nanoseconds, bool topologyChanged)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (laterRedraws == nullptr || application == nullptr || node.isNull()) {
        return;
    }
    const MObjectHandle handle(node);
    const std::int64_t deadline = nowNanoseconds() + std::max<std::int64_t>(nanoseconds, 0);
    if (QThread::currentThread() == application->thread()) {
        laterRedraws->add(handle, deadline, topologyChanged);
        return;
    }
    // Draw preparation off the main thread: the timer lives on the main thread.
    LaterRedraws* target = laterRedraws;
    QMetaObject::invokeMethod(
        target, [target, handle, deadline, topologyChanged] { target->add(handle, deadline, topologyChanged); },
        Qt::QueuedConnection);
}
