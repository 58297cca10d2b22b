#pragma once
// The step from the analysis probability to the value the library reports.

namespace vlbayes {

// Moves the junk threshold of sensitivity 1 (0.58) to 0.5 and clamps to 0..1. The engine
// calls a message junk from 0.5 up and legitimate at 0.32 or below, so a raw probability of
// 0.58 is the junk cut-off and 0.40 the legitimate one. A lower threshold would call far too
// much real mail junk, and junk may be deleted on the server.
[[nodiscard]] float shiftAndClamp(double probability);

} // namespace vlbayes
