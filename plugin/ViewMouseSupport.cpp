#include "plugin/ViewMouseSupport.h"

#include "plugin/StatusCheck.h"

#include <maya/M3dView.h>
#include <maya/MEventMessage.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>

#include <QObject>
#include <QWidget>

bool findViewOf(QObject* watched, M3dView& view, QWidget*& viewWidget)
{
    if (watched == nullptr || !watched->isWidgetType()) {
        return false;
    }
    QWidget* watchedWidget = static_cast<QWidget*>(watched);
    const unsigned viewCount = M3dView::numberOf3dViews();
    for (unsigned i = 0; i < viewCount; ++i) {
        M3dView candidate;
        if (!M3dView::get3dView(i, candidate)) {
            continue;
        }
        MStatus status;
        QWidget* widget = candidate.widget(&status);
        if (status && widget != nullptr && (widget == watchedWidget || widget->isAncestorOf(watchedWidget))) {
            view = candidate;
            viewWidget = widget;
            return true;
        }
    }
    return false;
}

void trackMouseInAllViews()
{
    const unsigned viewCount = M3dView::numberOf3dViews();
    for (unsigned i = 0; i < viewCount; ++i) {
        M3dView view;
        if (!M3dView::get3dView(i, view)) {
            continue;
        }
        if (QWidget* widget = view.widget()) {
            widget->setMouseTracking(true);
        }
    }
}

void removeApplicationFilter(QObject*& filter, QObject*& host)
{
    if (host != nullptr && filter != nullptr) {
        host->removeEventFilter(filter);
    }
    host = nullptr;
    delete filter;
    filter = nullptr;
}

namespace {

const char* const kStatusSource = "viewMouseSupport";

struct ToolContextCache
{
    CurrentToolContext tool;
    bool valid = false;
    MCallbackId watches[2] = {0, 0};
};

ToolContextCache& toolContextCache()
{
    static ToolContextCache cache;
    return cache;
}

void toolChanged(void*)
{
    toolContextCache().valid = false;
}

// Whether both tool-change events are watched, watching them on first use.
bool watchingToolChanges(ToolContextCache& cache)
{
    static const char* const kEvents[2] = {"ToolChanged", "PostToolChanged"};
    for (int i = 0; i < 2; ++i) {
        if (cache.watches[i] == 0) {
            MStatus status;
            const MCallbackId id = MEventMessage::addEventCallback(kEvents[i], toolChanged, nullptr, &status);
            if (status) {
                cache.watches[i] = id;
            }
        }
    }
    return cache.watches[0] != 0 && cache.watches[1] != 0;
}

} // namespace

const CurrentToolContext& currentToolContext()
{
    ToolContextCache& cache = toolContextCache();
    if (cache.valid && watchingToolChanges(cache)) {
        return cache.tool;
    }
    CurrentToolContext& tool = cache.tool;
    tool = CurrentToolContext();
    tool.known = MGlobal::executeCommand("currentCtx", tool.name);
    if (!tool.known || !MGlobal::executeCommand("contextInfo -query -class \"" + tool.name + "\"", tool.className)) {
        tool.className.clear();
    }
    cache.valid = tool.known && watchingToolChanges(cache);
    return tool;
}

void forgetCurrentToolContext()
{
    ToolContextCache& cache = toolContextCache();
    for (MCallbackId& id : cache.watches) {
        if (id != 0) {
            PELLIX_REPORT(MMessage::removeCallback(id));
            id = 0;
        }
    }
    cache.valid = false;
}
