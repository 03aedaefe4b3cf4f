#include "overlay/OverlayRedrawTimer.h"

#include <maya/M3dView.h>
#include <maya/MObjectHandle.h>
#include <maya/MViewport2Renderer.h>

#include <QApplication>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace {

// Lives on the main thread: requests reach it as queued calls, which Qt drops with the timer.
class RedrawTimer : public QTimer
{
public:
    RedrawTimer()
    {
        setSingleShot(true);
        connect(this, &QTimer::timeout, this, &RedrawTimer::redraw);
    }

    void add(const MObjectHandle& node, int milliseconds)
    {
        if (std::find(nodes_.begin(), nodes_.end(), node) == nodes_.end()) {
            nodes_.push_back(node);
        }
        if (!isActive() || remainingTime() > milliseconds) {
            start(milliseconds);
        }
    }

private:
    void redraw()
    {
        for (const MObjectHandle& node : nodes_) {
            if (node.isValid() && node.isAlive()) {
                MHWRender::MRenderer::setGeometryDrawDirty(node.object(), false);
            }
        }
        nodes_.clear();
        M3dView::scheduleRefreshAllViews();
    }

    std::vector<MObjectHandle> nodes_;
};

std::atomic<RedrawTimer*> redrawTimer{nullptr};

} // namespace

void startOverlayRedrawTimer()
{
    if (redrawTimer.load() == nullptr && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        redrawTimer.store(new RedrawTimer());
    }
}

void stopOverlayRedrawTimer()
{
    delete redrawTimer.exchange(nullptr);
}

void scheduleOverlayRedraw(const MObject& node, double seconds)
{
    RedrawTimer* timer = redrawTimer.load();
    if (timer == nullptr || node.isNull()) {
        return;
    }
    // A millisecond late rather than early: the hold must have ended when the redraw comes.
    const int milliseconds = static_cast<int>(std::ceil(std::max(seconds, 0.0) * 1000.0)) + 1;
    const MObjectHandle handle(node);
    QMetaObject::invokeMethod(
        timer, [timer, handle, milliseconds] { timer->add(handle, milliseconds); }, Qt::QueuedConnection);
}
