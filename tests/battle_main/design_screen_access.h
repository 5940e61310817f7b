// The session's design screen as the player leaves it configured, for tests whose own headers
// cannot meet the screen's (both name the input event kinds).
#pragma once

#include <cstdint>
#include <initializer_list>

// Shows a vehicle on the session's design screen: the chassis, and the catalogue slots in the
// bays from the first (the rest empty).
void ShowOnDesignScreen(int chassis, std::initializer_list<std::uint32_t> slots);
// The design screen's catalogue record of a slot.
const void* DesignCatalogueRecord(std::uint32_t slot);
