#ifndef MAYA_MAPIVERSION_H
#define MAYA_MAPIVERSION_H

// The API version the module was built against, read by the host at load time, and the
// module's signature. Definitions: include this header (through MFnPlugin.h) in exactly one
// source file of a module, or define MNoVersionString in the others.
#ifndef MNoVersionString
// Exported with C linkage and default visibility, whatever the module's visibility; the
// version is the one MAYA_API_VERSION in MTypes.h names, written out so that this header
// stands alone.
#if defined(_WIN32)
#define MAYA_APIVERSION_EXPORT_ extern "C" __declspec(dllexport)
#else
#define MAYA_APIVERSION_EXPORT_ extern "C" __attribute__((visibility("default")))
#endif
MAYA_APIVERSION_EXPORT_ char MApiVersion[] = "20230300";
// A stand-in signature: this host checks only that a module has one.
MAYA_APIVERSION_EXPORT_ char ADSK_PLUGIN_SIGNATURE[] = "pellix stand-in host: unsigned module";
#undef MAYA_APIVERSION_EXPORT_
#endif

#endif
