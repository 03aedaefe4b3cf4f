#ifndef MAYA_MAPIVERSION_H
#define MAYA_MAPIVERSION_H

#include <maya/MTypes.h>

// The API version the module was built against, read by the host at load time, and the
// module's signature. Definitions: include this header (through MFnPlugin.h) in exactly one
// source file of a module, or define MNoVersionString in the others.
#ifndef MNoVersionString
#define MAYA_STRINGIFY_VERSION_(v) #v
#define MAYA_STRINGIFY_VERSION(v) MAYA_STRINGIFY_VERSION_(v)
PLUGIN_EXPORT char MApiVersion[] = MAYA_STRINGIFY_VERSION(MAYA_API_VERSION);
// A stand-in signature: this host checks only that a module has one.
PLUGIN_EXPORT char ADSK_PLUGIN_SIGNATURE[] = "pellix stand-in host: unsigned module";
#undef MAYA_STRINGIFY_VERSION
#undef MAYA_STRINGIFY_VERSION_
#endif

#endif
