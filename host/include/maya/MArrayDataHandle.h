#ifndef MAYA_MARRAYDATAHANDLE_H
#define MAYA_MARRAYDATAHANDLE_H

#include <maya/MStatus.h>

#include <memory>

class MArrayDataBuilder;

namespace host { struct Slot; struct DataAccess; struct ElementList; }

// Iterates over the existing elements of an array value.
class MArrayDataHandle
{
public:
    MArrayDataHandle(const MDataHandle& in, MStatus* ReturnStatus = NULL);
    MArrayDataHandle(const MArrayDataHandle& other);
    MArrayDataHandle& operator=(const MArrayDataHandle& other);
    ~MArrayDataHandle();

    MDataHandle inputValue(MStatus* ReturnStatus = NULL);
    MDataHandle outputValue(MStatus* ReturnStatus = NULL);
    MArrayDataHandle inputArrayValue(MStatus* ReturnStatus = NULL);
    MArrayDataHandle outputArrayValue(MStatus* ReturnStatus = NULL);
    MStatus next();
    unsigned int elementCount(MStatus* ReturnStatus = NULL);
    unsigned int elementIndex(MStatus* ReturnStatus = NULL);
    MStatus jumpToElement(unsigned int index);
    MStatus jumpToArrayElement(unsigned int position);
    MStatus setClean();
    MStatus setAllClean();
    MArrayDataBuilder builder(MStatus* ReturnStatus = NULL);
    MStatus set(MArrayDataBuilder& builder);

private:
    friend struct host::DataAccess;
    MArrayDataHandle();
    host::Slot* mSlot;      // the array slot
    unsigned int mPosition; // physical position of the current element
    bool mPull;             // elements read through inputValue are evaluated
};

#endif
