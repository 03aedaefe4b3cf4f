#pragma once
// The attributes both pin node types share, created and added in the order their tables
// give them: driver inputs first, then (after each node's own bind arrays) the common bind
// data, then the outputs. Each function returns the first failing status unreported, so
// the node's initialiser reports it at its own line.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

// "deformedGeometry", "geometryWorldMatrix", "controlLocalInverseMatrix", "controlParentInverseMatrix".
MStatus addPinDriverAttributes(MObject& deformedGeometry, MObject& geometryWorldMatrix,
                               MObject& controlLocalInverseMatrix, MObject& controlParentInverseMatrix);

// "bindTangents", "bindSurfaceMatrices", "bindControlMatrices", "bindMaintainOffset", "bindUseControlInverse".
MStatus addPinBindAttributes(MObject& bindTangents, MObject& bindSurfaceMatrices, MObject& bindControlMatrices,
                             MObject& bindMaintainOffset, MObject& bindUseControlInverse);

// "outputMatrix" and the "outputTranslate" compound with its three children.
MStatus addPinOutputAttributes(MObject& outputMatrix, MObject& outputTranslateX, MObject& outputTranslateY,
                               MObject& outputTranslateZ, MObject& outputTranslate);

// Every input affects "outputMatrix", then every input affects "outputTranslate".
MStatus addPinAffects(const MObject* const* inputs, unsigned count, const MObject& outputMatrix,
                      const MObject& outputTranslate);
