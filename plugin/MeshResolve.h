#pragma once
// The one way every command turns a named DAG object into the mesh it means: a mesh shape
// stands for itself unless it is an intermediate object (a deformer's "...Orig" input), and
// a transform stands for its first visible mesh shape directly below it. Each command words
// its own message from the outcome.

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

enum class MeshResolution
{
    kMesh,          // the path now ends on a visible mesh shape
    kIntermediate,  // the path names an intermediate mesh shape directly
    kNoMesh,        // neither a mesh nor a transform with a visible mesh shape
};

// Extends `path` to the mesh it stands for (left unchanged unless kMesh). A failed host
// call is reported here and returned; `resolution` is then kNoMesh.
MStatus resolveMesh(MDagPath& path, MeshResolution& resolution);
