#ifndef MAYA_MSCENEMESSAGE_H
#define MAYA_MSCENEMESSAGE_H

#include <maya/MMessage.h>

// Scene-level events (new, open, save, plug-in load ...).
class MSceneMessage : public MMessage
{
public:
    enum Message {
        kSceneUpdate,
        kBeforeNew,
        kAfterNew,
        kBeforeImport,
        kAfterImport,
        kBeforeOpen,
        kAfterOpen,
        kBeforeFileRead,
        kAfterFileRead,
        kAfterSceneReadAndRecordEdits,
        kBeforeExport,
        kAfterExport,
        kBeforeSave,
        kAfterSave,
        kBeforeReference,
        kAfterReference,
        kBeforeRemoveReference,
        kAfterRemoveReference,
        kBeforeImportReference,
        kAfterImportReference,
        kBeforeExportReference,
        kAfterExportReference,
        kBeforeUnloadReference,
        kAfterUnloadReference,
        kBeforeSoftwareRender,
        kAfterSoftwareRender,
        kBeforeSoftwareFrameRender,
        kAfterSoftwareFrameRender,
        kSoftwareRenderInterrupted,
        kMayaInitialized,
        kMayaExiting,
        kBeforeNewCheck,
        kBeforeOpenCheck,
        kBeforeSaveCheck,
        kBeforeImportCheck,
        kBeforeExportCheck,
        kBeforeLoadReference,
        kAfterLoadReference,
        kBeforeLoadReferenceCheck,
        kBeforeReferenceCheck,
        kBeforeCreateReferenceCheck = kBeforeReferenceCheck,
        kBeforePluginLoad,
        kAfterPluginLoad,
        kBeforePluginUnload,
        kAfterPluginUnload,
        kBeforeCreateReference,
        kAfterCreateReference,
        kExportStarted,
        kBeforeLoadReferenceAndRecordEdits,
        kAfterLoadReferenceAndRecordEdits,
        kBeforeCreateReferenceAndRecordEdits,
        kAfterCreateReferenceAndRecordEdits,
        kLast
    };

    static MCallbackId addCallback(Message msg, MMessage::MBasicFunction func, void* clientData = NULL,
                                   MStatus* ReturnStatus = NULL);
    static MCallbackId addCallback(Message msg, void (*func)(bool* retCode, void* clientData),
                                   void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addCallback(Message msg, void (*func)(bool* retCode, MFileObject& file, void* clientData),
                                   void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addCheckCallback(Message msg, MMessage::MCheckFunction func, void* clientData = NULL,
                                        MStatus* ReturnStatus = NULL);
    static MCallbackId addCheckFileCallback(Message msg, MMessage::MCheckFileFunction func,
                                            void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addStringArrayCallback(Message msg, MMessage::MStringArrayFunction func,
                                              void* clientData = NULL, MStatus* ReturnStatus = NULL);
};

#endif
