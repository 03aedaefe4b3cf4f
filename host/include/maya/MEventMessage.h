#ifndef MAYA_MEVENTMESSAGE_H
#define MAYA_MEVENTMESSAGE_H

#include <maya/MMessage.h>

// Named application events ("SelectionChanged", "timeChanged" ...).
class MEventMessage : public MMessage
{
public:
    static MCallbackId addEventCallback(const MString& eventName, MMessage::MBasicFunction func,
                                        void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MStatus getEventNames(MStringArray& eventNames);
};

#endif
