#include "NumberFormat.h"

#include <charconv>

namespace host
{

std::string formatDouble(double value)
{
    char buffer[64];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, r.ptr);
}

std::string formatFloat(float value)
{
    char buffer[64];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, r.ptr);
}

} // namespace host
