// The process exit codes, the same in every mode so that scripts can rely on them.
#pragma once

inline constexpr int kExitDone = 0;         // the action was carried out (or nothing to report)
inline constexpr int kExitNothingToDo = 1;  // console mode found nothing it could do
inline constexpr int kExitFailure = 2;      // the run ended on a failure after its message
