#include "views/Hotkeys.h"

#include "commands/Session.h"
#include "commands/mel/MelInterpreter.h"
#include "views/SelectionMode.h"
#include "views/Views.h"

#include <QKeyEvent>

#include <string>

namespace host {

namespace {

// A hotkey's command runs as typed: undoable, its errors shown like any other.
void run(const std::string& mel)
{
    if (MelInterpreter::run(MString(mel.c_str())))
        runIdleCommands();
}

} // namespace

bool handlePanelHotkey(unsigned int panelIndex, QKeyEvent* event)
{
    if (event->isAutoRepeat() && event->key() == Qt::Key_Space)
        return true;
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const std::string panel = panelName(panelIndex).asChar();
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_Z) {
        run("undo");
        return true;
    }
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_Z) {
        run("redo");
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Q: run("setToolTo selectSuperContext"); return true;
    case Qt::Key_W: run("setToolTo moveSuperContext"); return true;
    case Qt::Key_E: run("setToolTo RotateSuperContext"); return true;
    case Qt::Key_R: run("setToolTo scaleSuperContext"); return true;
    case Qt::Key_F: run("viewFit " + panel); return true;
    case Qt::Key_A: run("viewFit -all " + panel); return true;
    case Qt::Key_4: run("modelEditor -e -displayAppearance wireframe " + panel); return true;
    case Qt::Key_5: run("modelEditor -e -displayAppearance smoothShaded " + panel); return true;
    // F8 switches between object and component selection, F11 selects faces.
    case Qt::Key_F8: run(componentMode() ? "selectMode -object" : "selectMode -component"); return true;
    case Qt::Key_F11: run("selectMode -component; selectType -vertex false -edge false -facet true"); return true;
    case Qt::Key_Space:
        if (fourPanelLayout())
            showSinglePanel(panelIndex);
        else
            showFourPanels();
        return true;
    default: return false;
    }
}

} // namespace host
