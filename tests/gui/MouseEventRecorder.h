#pragma once
// Records the mouse events an application event filter sees, and, when given
// a widget, the ones that reach that widget's own filters, in one log, so a
// test can tell who saw an event first.

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

struct SeenMouseEvent
{
    bool byApplication = false; // false: by the widget
    QEvent::Type type = QEvent::None;
    QPointF position;           // widget logical pixels (mouse and enter events)
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons = Qt::NoButton;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

class MouseEventRecorder
{
public:
    explicit MouseEventRecorder(QWidget* widget = nullptr)
        : mApplicationFilter(this, true, widget), mWidgetFilter(this, false, widget), mWidget(widget)
    {
        qApp->installEventFilter(&mApplicationFilter);
        if (widget)
            widget->installEventFilter(&mWidgetFilter);
    }
    ~MouseEventRecorder()
    {
        qApp->removeEventFilter(&mApplicationFilter);
        if (mWidget)
            mWidget->removeEventFilter(&mWidgetFilter);
    }

    const std::vector<SeenMouseEvent>& seen() const { return mSeen; }
    void clear() { mSeen.clear(); }
    // The events the application filter saw, of one type.
    std::vector<SeenMouseEvent> byApplication(QEvent::Type type) const
    {
        std::vector<SeenMouseEvent> found;
        for (const SeenMouseEvent& event : mSeen)
            if (event.byApplication && event.type == type)
                found.push_back(event);
        return found;
    }

private:
    class Filter : public QObject
    {
    public:
        Filter(MouseEventRecorder* owner, bool application, QWidget* widget)
            : mOwner(owner), mApplication(application), mWidget(widget)
        {
        }
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            const QEvent::Type type = event->type();
            const bool mouse = type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
                               type == QEvent::MouseButtonRelease || type == QEvent::Enter || type == QEvent::Leave;
            // Only what is sent to the panel widget itself (Qt also passes events to the window).
            if (!mouse || (mWidget && watched != mWidget) || !watched->isWidgetType())
                return false;
            SeenMouseEvent seen;
            seen.byApplication = mApplication;
            seen.type = type;
            if (type == QEvent::Enter)
                seen.position = static_cast<QEnterEvent*>(event)->localPos();
            else if (type != QEvent::Leave) {
                auto* mouseEvent = static_cast<QMouseEvent*>(event);
                seen.position = mouseEvent->localPos();
                seen.button = mouseEvent->button();
                seen.buttons = mouseEvent->buttons();
                seen.modifiers = mouseEvent->modifiers();
            }
            mOwner->mSeen.push_back(seen);
            return false;
        }

    private:
        MouseEventRecorder* mOwner;
        bool mApplication;
        QPointer<QWidget> mWidget;
    };

    Filter mApplicationFilter;
    Filter mWidgetFilter;
    QPointer<QWidget> mWidget;
    std::vector<SeenMouseEvent> mSeen;
};
