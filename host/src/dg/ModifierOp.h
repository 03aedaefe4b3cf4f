#pragma once
// Operations queued in an MDGModifier. Other host parts (MDagModifier) queue
// their own operations through ModifierAccess.

#include <maya/MDGModifier.h>
#include <maya/MStatus.h>

#include <memory>

namespace host {

struct ModifierOp
{
    virtual ~ModifierOp() = default;
    virtual MStatus doIt() = 0;
    virtual MStatus undoIt() = 0;
};

struct ModifierAccess
{
    static void queue(MDGModifier& modifier, std::unique_ptr<ModifierOp> op)
    {
        modifier.mOps.push_back(std::move(op));
    }
};

} // namespace host
