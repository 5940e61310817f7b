// Where a member of the swept sphere list starts and how it moves.
// Results: nothing; the position is written to the output.
#pragma once

#include <cstdint>

struct R3xSweepQuery;
struct R3xSweepSegment;

// Member i of the query's sphere list, placed by the list's actor: start = actor position +
// rotation applied to (centre x s), radius = member radius x s + memberMargin, with s the list's
// scale times the actor's; direction and distance are the query's. Member 0 rebuilds the actor's
// rotation first. i must be below the member count.
void _r3xSphereListMemberPosition(R3xSweepQuery* query, std::uint32_t i, R3xSweepSegment* out);
