#ifndef HOST_VALUES_NUMBERFORMAT_H
#define HOST_VALUES_NUMBERFORMAT_H

#include <string>

namespace host
{

// Shortest decimal text that reads back to exactly the same double, in Maya's layout
// ("0.1", "3", "0.0001", "1e-05", "1e+300").
std::string formatDouble(double value);

// Same for a float: the shortest text that reads back to the same float.
std::string formatFloat(float value);

// Appends formatDouble(value) to `out`.
void appendDoubleText(std::string& out, double value);

} // namespace host

#endif
