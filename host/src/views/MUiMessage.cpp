#include <maya/MUiMessage.h>

#include "dg/CallbackRegistry.h"

MCallbackId MUiMessage::add3dViewPreRenderMsgCallback(const MString& panelName, MMessage::MStringFunction func,
                                                      void* clientData, MStatus* ReturnStatus)
{
    return host::addTyped(host::CbKind::ViewPreRender, func, clientData, nullptr, 0, panelName, ReturnStatus);
}
