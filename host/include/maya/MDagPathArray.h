#ifndef MAYA_MDAGPATHARRAY_H
#define MAYA_MDAGPATHARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MDagPath.h>

class MDagPathArray : public MArrayTemplate<MDagPath>
{
public:
    using MArrayTemplate<MDagPath>::MArrayTemplate;
    MDagPathArray() = default;
};

#endif
