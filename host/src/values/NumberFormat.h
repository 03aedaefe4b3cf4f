#ifndef HOST_VALUES_NUMBERFORMAT_H
#define HOST_VALUES_NUMBERFORMAT_H

#include <string>

namespace host
{

// Shortest decimal text that reads back to exactly the same double ("0.1", "3", "1e+300").
std::string formatDouble(double value);

// Same for a float: the shortest text that reads back to the same float.
std::string formatFloat(float value);

} // namespace host

#endif
