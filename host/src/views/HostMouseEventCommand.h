#pragma once
// hostMouseEvent -panel PANEL -type move|press|release|enter|leave
//                (-x X -y Y | -world X Y Z) [-button left|middle|right]
//                [-modifiers "shift+ctrl+alt"]
// A host test facility Maya does not have: delivers one mouse event to a
// panel's view widget through the QApplication, so application event filters
// see it before the widget does, as they see real mouse events. -x -y are the
// widget's logical pixels (origin top left, y down); -world projects a world
// point through the panel's camera.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class HostMouseEventCommand : public MPxCommand
{
public:
    static void* creator() { return new HostMouseEventCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
