#pragma once
// Helpers of the pin node tests: writing bind arrays, reading the per-pin outputs through
// plugs (which evaluates them) and comparing matrices.

#include <maya/MMatrix.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// setAttr of a typed array attribute ("Int32Array" or "doubleArray").
void setIntArray(const std::string& plug, const std::vector<int>& values);
void setDoubleArray(const std::string& plug, const std::vector<double>& values);
void setMatrixArray(const std::string& plug, const std::vector<MMatrix>& values);

// Pulls "outputMatrix"[i] / "outputTranslate"[i] of a pin node (a failed evaluation leaves
// the last value).
MMatrix pinOutputMatrix(const std::string& node, unsigned i);
MVector pinOutputTranslate(const std::string& node, unsigned i);
// Number of elements of an output array after pulling it.
unsigned pinOutputCount(const std::string& node, const char* output);

// A frame from its axes and origin (rows X, Y, Z, translation).
MMatrix frameFromRows(const MVector& x, const MVector& y, const MVector& z, const MVector& origin);
MVector translationOf(const MMatrix& m);

::testing::AssertionResult matricesNear(const MMatrix& actual, const MMatrix& expected, double tolerance);
::testing::AssertionResult vectorsNear(const MVector& actual, const MVector& expected, double tolerance);
