// The player's tank's rows of the object kinds: MSG_CREATE_PLAYER_TANK replaces the own tank
// (a tank whose construction failed is deleted and the frames run without one), its update and
// its messages' step run while it exists, and the world stop deletes it.
#pragma once

#include <cstdint>
#include <span>

class CCockpit;
class CGameSession;
struct HostRecord;

void CreateOwnTankRow(CGameSession& session, std::span<const std::uint8_t> payload);
void UpdateOwnTankRow(CGameSession& session);
void ProcessOwnTankMessagesRow(CGameSession& session);
void DeleteOwnTankRow(CGameSession& session);
// The cockpit of the host's layout, from the cockpit's pack, all of it to be drawn.
void BuildOwnCockpit(CCockpit& cockpit, const HostRecord& host);
