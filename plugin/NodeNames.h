#pragma once
// Whether a name the user gives a new node is one Maya takes: letters, digits and
// underscores, not starting with a digit, namespaces before the name each ended by ":"
// (":name" for the root namespace), and, where the creating command numbers it, a last "#".

#include <string>

// Why the name is not a legal node name ("it holds a space"), or empty when it is one.
std::string nodeNameProblem(const std::string& name, bool numberSignAllowed);
