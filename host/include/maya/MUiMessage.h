#ifndef MAYA_MUIMESSAGE_H
#define MAYA_MUIMESSAGE_H

#include <maya/MMessage.h>

// Messages of the user interface: a 3D view about to draw its contents.
class MUiMessage : public MMessage
{
public:
    // Called with the panel's name each time the model panel `panelName` is about to render.
    static MCallbackId add3dViewPreRenderMsgCallback(const MString& panelName, MMessage::MStringFunction func,
                                                     void* clientData = NULL, MStatus* ReturnStatus = NULL);
};

#endif
