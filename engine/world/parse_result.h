// The world-file reader's own result codes. Rule actions and the steps they call return 0 to go
// on, and PAR_STOP once they have reported an error through parError: the parse then ends.
// Results: constants only.
#pragma once

#include <cstdint>

inline constexpr std::int32_t PAR_STOP = 1;
// parParseWorld: the input was accepted, or the parse stopped on an error.
inline constexpr std::int32_t PAR_ACCEPTED = 0;
inline constexpr std::int32_t PAR_REJECTED = 1;
