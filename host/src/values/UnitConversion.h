#ifndef HOST_VALUES_UNITCONVERSION_H
#define HOST_VALUES_UNITCONVERSION_H

namespace host
{

// Converts through a table of unit sizes indexed by the unit enum; a zero
// size marks an invalid unit. Returns false for an invalid unit.
inline bool convertUnits(double value, int from, int to, const double* sizes, int count, double& result)
{
    if (from <= 0 || from >= count || to <= 0 || to >= count || sizes[from] == 0.0 || sizes[to] == 0.0)
        return false;
    result = from == to ? value : value * sizes[from] / sizes[to];
    return true;
}

} // namespace host

#endif
