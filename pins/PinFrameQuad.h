#pragma once
// The frame loop of the pin evaluation, four pins at a time where SSE is there (one at a
// time elsewhere). Each output equals composePinOutput's for the same pin bit for bit.

#include "pins/PinFrameTypes.h"

namespace PinFrameMath {

// Outputs of pins [begin, end) that are not translate-only, in order on the calling thread.
void composeFrameOutputs(const FrameInputs& eval, const PinBinding* pins, int begin, int end, Matrix4* outputs);
void composeFrameOutputs(const FrameInputs& eval, const UVPinBinding* pins, int begin, int end, Matrix4* outputs);

}  // namespace PinFrameMath
