#ifndef MAYA_MTYPEID_H
#define MAYA_MTYPEID_H

#include <maya/MStatus.h>

class MTypeId
{
public:
    MTypeId() : fId(0) {}
    MTypeId(unsigned int id) : fId(id) {}
    // A 24-bit block prefix with an 8-bit id inside the block.
    MTypeId(unsigned int prefix, unsigned int id) : fId((prefix << 8) | (id & 0xFFu)) {}
    MTypeId(const MTypeId& src) = default;
    MTypeId& operator=(const MTypeId& src) = default;

    bool operator==(const MTypeId& o) const { return fId == o.fId; }
    bool operator!=(const MTypeId& o) const { return fId != o.fId; }
    unsigned int id(MStatus* ReturnStatus = NULL) const
    {
        if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
        return fId;
    }

private:
    unsigned int fId;
};

#endif
