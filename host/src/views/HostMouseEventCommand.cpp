#include "views/HostMouseEventCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/CameraView.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-p", "-panel", CommandFlags::kOneArg},     {"-t", "-type", CommandFlags::kOneArg},
    {"-x", "-x", CommandFlags::kOneArg},         {"-y", "-y", CommandFlags::kOneArg},
    {"-w", "-world", CommandFlags::kOneArg},     {"-b", "-button", CommandFlags::kOneArg},
    {"-m", "-modifiers", CommandFlags::kOneArg},
};

const char* const kCommand = "hostMouseEvent";

// The buttons held down by earlier press events, so that moves in between
// carry them as a real drag does.
Qt::MouseButtons& heldButtons()
{
    static Qt::MouseButtons held = Qt::NoButton;
    return held;
}

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString(kCommand) + ": " + message);
    return MS::kInvalidParameter;
}

bool parseButton(const MString& name, Qt::MouseButton& button)
{
    if (name == "left")
        button = Qt::LeftButton;
    else if (name == "middle")
        button = Qt::MiddleButton;
    else if (name == "right")
        button = Qt::RightButton;
    else
        return false;
    return true;
}

bool parseModifiers(const MString& text, Qt::KeyboardModifiers& modifiers)
{
    modifiers = Qt::NoModifier;
    if (text.length() == 0)
        return true;
    MStringArray words;
    text.split('+', words);
    for (unsigned i = 0; i < words.length(); ++i) {
        if (words[i] == "shift")
            modifiers |= Qt::ShiftModifier;
        else if (words[i] == "ctrl")
            modifiers |= Qt::ControlModifier;
        else if (words[i] == "alt")
            modifiers |= Qt::AltModifier;
        else
            return false;
    }
    return true;
}

// The widget position (logical pixels, y down) of a world point seen through the panel's camera.
MStatus worldToWidget(unsigned panel, const MPoint& world, QPointF& position)
{
    const ViewSetup view = panelViewSetup(panel);
    double portX = 0.0;
    double portY = 0.0;
    if (!worldToPort(view, world, portX, portY))
        return fail(MString("the point ") + world.x + " " + world.y + " " + world.z + " is outside the view of " +
                    panelName(panel) + ".");
    const double ratio = view.devicePixelRatio > 0.0 ? view.devicePixelRatio : 1.0;
    position = QPointF(portX / ratio, (view.height - portY) / ratio);
    return MS::kSuccess;
}

} // namespace

MStatus HostMouseEventCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse(kCommand, args, kFlags);
    if (!status)
        return status;
    status = requireViews(kCommand);
    if (!status)
        return status;
    if (!flags.isSet("-p"))
        return fail("-panel is required.");
    const int panel = panelNamed(kCommand, flags.arg("-p"));
    if (panel < 0)
        return MS::kInvalidParameter;

    const MString typeName = flags.arg("-t");
    QEvent::Type type = QEvent::None;
    if (typeName == "move")
        type = QEvent::MouseMove;
    else if (typeName == "press")
        type = QEvent::MouseButtonPress;
    else if (typeName == "release")
        type = QEvent::MouseButtonRelease;
    else if (typeName == "enter")
        type = QEvent::Enter;
    else if (typeName == "leave")
        type = QEvent::Leave;
    else
        return fail("-type must be move, press, release, enter or leave.");

    Qt::MouseButton button = Qt::NoButton;
    if (flags.isSet("-b") && !parseButton(flags.arg("-b"), button))
        return fail("-button must be left, middle or right, not \"" + flags.arg("-b") + "\".");
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && button == Qt::NoButton)
        return fail("-type " + typeName + " needs -button.");
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    if (!parseModifiers(flags.arg("-m"), modifiers))
        return fail("-modifiers takes shift, ctrl and alt joined by \"+\", not \"" + flags.arg("-m") + "\".");

    QPointF position;
    const bool world = flags.isSet("-w");
    const bool pixel = flags.isSet("-x") || flags.isSet("-y");
    if (type != QEvent::Leave) {
        if (world == pixel || (pixel && !(flags.isSet("-x") && flags.isSet("-y"))))
            return fail("give either -x and -y or -world.");
        if (world) {
            if (flags.objects().size() != 2)
                return fail("-world takes three numbers.");
            double coordinates[3] = {0.0, 0.0, 0.0};
            if (!flags.doubleValue("-w", coordinates[0]))
                return MS::kInvalidParameter;
            for (int i = 0; i < 2; ++i)
                if (!flags.objects()[i].isDouble())
                    return fail("-world takes three numbers.");
            coordinates[1] = flags.objects()[0].asDouble();
            coordinates[2] = flags.objects()[1].asDouble();
            status = worldToWidget(static_cast<unsigned>(panel), MPoint(coordinates[0], coordinates[1], coordinates[2]),
                                   position);
            if (!status)
                return status;
        } else {
            double x = 0.0;
            double y = 0.0;
            if (!flags.doubleValue("-x", x) || !flags.doubleValue("-y", y))
                return MS::kInvalidParameter;
            position = QPointF(x, y);
        }
    }
    if (!world && !flags.objects().empty())
        return fail(MString("unexpected argument \"") + flags.objects()[0] + "\".");

    QWidget* widget = panelWidget(static_cast<unsigned>(panel));
    const QPointF windowPosition = widget->mapTo(widget->window(), position.toPoint()) + (position - position.toPoint());
    const QPointF screenPosition = widget->mapToGlobal(position.toPoint()) + (position - position.toPoint());

    Qt::MouseButtons& held = heldButtons();
    switch (type) {
    case QEvent::MouseButtonPress:
        held |= button;
        break;
    case QEvent::MouseButtonRelease:
        held &= ~Qt::MouseButtons(button);
        break;
    case QEvent::MouseMove:
        // A move names no button of its own; -button on a move means that button is down.
        if (button != Qt::NoButton)
            held |= button;
        button = Qt::NoButton;
        break;
    default:
        break;
    }

    // sendEvent goes through QApplication::notify: application event filters first, then the widget.
    if (type == QEvent::Enter) {
        QEnterEvent event(position, windowPosition, screenPosition);
        QApplication::sendEvent(widget, &event);
    } else if (type == QEvent::Leave) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    } else {
        QMouseEvent event(type, position, windowPosition, screenPosition, button, held, modifiers);
        QApplication::sendEvent(widget, &event);
    }
    processEvents();
    return MS::kSuccess;
}

} // namespace host
