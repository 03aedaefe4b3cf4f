#pragma once
// The objects of the commands that take a selection list ("pellixDataBind", "vertexWrap"),
// as the user named them.

#include <maya/MApiNamespace.h>
#include <maya/MString.h>

// How an item of the command's objects is named in messages.
MString objectName(const MSelectionList& objects, unsigned index);

// Whether a name after the first on the command line stands for the first object again: the
// parsed objects hold each object once, so "vertexWrap body body" arrives as one object.
bool firstObjectNamedAgain(const MArgDatabase& args, const MSelectionList& objects);
