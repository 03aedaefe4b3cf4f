#include "commands/PluginRecord.h"

namespace host {

PluginRecord::PluginRecord(const MString& pluginName, const MString& modulePath, void* moduleHandle)
    : Object(Kind::Other, MFn::kPlugin), name(pluginName), path(modulePath), handle(moduleHandle)
{
}

PluginRecord* PluginRecord::from(const MObject& object)
{
    Object* target = ObjectAccess::get(object);
    if (!target || target->kind() != Kind::Other || target->apiType() != MFn::kPlugin)
        return nullptr;
    return static_cast<PluginRecord*>(target);
}

} // namespace host
