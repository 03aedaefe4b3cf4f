#pragma once
// Reading back what the pin bind commands leave in the scene: stored arrays, connections,
// world matrices and the saved scene text.

#include <maya/MMatrix.h>
#include <maya/MString.h>

#include <string>
#include <vector>

namespace pinbind {

// Runs MEL on the undo queue, as a user's command would be, and returns its result.
std::string undoableMel(const std::string& command);

std::vector<int> intArray(const std::string& plug);
std::vector<double> doubleArray(const std::string& plug);
std::vector<MMatrix> matrixArray(const std::string& plug);

// "node.longAttribute[index]" (children as "node.parent[index].child") of what drives the
// plug, or "" when nothing does.
std::string sourceOf(const std::string& plug);

MMatrix worldMatrix(const std::string& dagName);

// The scene as Maya ASCII text.
std::string sceneText();

// Largest absolute difference between two matrices.
double matrixDistance(const MMatrix& a, const MMatrix& b);

} // namespace pinbind
