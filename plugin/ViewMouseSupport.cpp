#include "plugin/ViewMouseSupport.h"

#include <maya/M3dView.h>

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
