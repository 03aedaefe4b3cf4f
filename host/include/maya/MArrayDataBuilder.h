#ifndef MAYA_MARRAYDATABUILDER_H
#define MAYA_MARRAYDATABUILDER_H

#include <maya/MStatus.h>

#include <memory>

class MDataBlock;

namespace host { struct DataAccess; struct BuilderElements; }

// Builds the set of elements of an array value; applied with MArrayDataHandle::set.
class MArrayDataBuilder
{
public:
    MArrayDataBuilder(const MObject& attribute, unsigned int numElements, MStatus* ReturnStatus = NULL);
    MArrayDataBuilder(MDataBlock* context, const MObject& attribute, unsigned int numElements,
                      MStatus* ReturnStatus = NULL);
    MArrayDataBuilder(const MArrayDataBuilder& other);
    MArrayDataBuilder& operator=(const MArrayDataBuilder& other);
    ~MArrayDataBuilder();

    MDataHandle addLast(MStatus* ReturnStatus = NULL);
    MDataHandle addElement(unsigned int index, MStatus* ReturnStatus = NULL);
    MArrayDataHandle addLastArray(MStatus* ReturnStatus = NULL);
    MArrayDataHandle addElementArray(unsigned int index, MStatus* ReturnStatus = NULL);
    MStatus removeElement(unsigned int index);
    unsigned int elementCount(MStatus* ReturnStatus = NULL) const;
    MStatus growArray(unsigned int amount);

private:
    friend struct host::DataAccess;
    // Shared by copies, as the devkit's builders are.
    std::shared_ptr<host::BuilderElements> mElements;
};

#endif
