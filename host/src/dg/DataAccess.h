#pragma once
// Construction of data blocks, handles and builders from slots.

#include "dg/Node.h"

#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>

#include <memory>
#include <vector>

namespace host {

// Elements collected by an MArrayDataBuilder before MArrayDataHandle::set.
struct BuilderElements
{
    Attribute* attr = nullptr;   // the array attribute
    Node* node = nullptr;        // owning node (for slot construction)
    std::unique_ptr<Slot> array; // detached array slot holding the elements
};

struct DataAccess
{
    static MDataBlock block(Node* node) { return MDataBlock(node); }
    static Node* node(const MDataBlock& block) { return block.mNode; }
    static MDataHandle handle(Slot* slot)
    {
        MDataHandle h;
        h.mSlot = slot;
        return h;
    }
    static Slot* slot(const MDataHandle& handle) { return handle.mSlot; }
    static MArrayDataHandle arrayHandle(Slot* slot, bool pull)
    {
        MArrayDataHandle h;
        h.mSlot = slot;
        h.mPosition = 0;
        h.mPull = pull;
        return h;
    }
    static Slot* slot(const MArrayDataHandle& handle) { return handle.mSlot; }
    static std::shared_ptr<BuilderElements>& elements(MArrayDataBuilder& builder) { return builder.mElements; }
};

} // namespace host
