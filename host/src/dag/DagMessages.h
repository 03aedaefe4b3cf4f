#pragma once
// Firing of the DAG messages (parenting and world-matrix changes).

#include <maya/MDagMessage.h>
#include <maya/MDagPath.h>

namespace host {

class Node;

bool hasDagMessageCallbacks();
void fireDagMessage(MDagMessage::DagMessage message, MDagPath& child, MDagPath& parent);

// Remembers which transform's local matrix is changing, and how, so that the
// world-matrix callbacks fired by the dirty wave that follows can report it.
void noteLocalMatrixChange(Node* transform, unsigned flags);

} // namespace host
