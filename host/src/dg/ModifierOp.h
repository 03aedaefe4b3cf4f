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

// Queues the deletion of `node` even when it comes from a referenced file, which
// MDGModifier::deleteNode refuses: for the host's own clean-ups (a plug-in's
// nodes on a forced unload, a namespace's content), not for user edits.
MStatus queueDeletionEvenIfReferenced(MDGModifier& modifier, const MObject& node);

} // namespace host
