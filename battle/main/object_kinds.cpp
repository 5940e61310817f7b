#include "battle/main/object_kinds.h"

#include "battle/main/game_session.h"

namespace {

// Calls `step` of each row holding a rank, in rank order.
template <int ObjectKindRow::*Rank>
void RunInRankOrder(CGameSession& session, std::span<const ObjectKindRow> kinds,
                    ObjectStep ObjectKindRow::*step) {
  for (int rank = 0;; ++rank) {
    const ObjectKindRow* holder = nullptr;
    for (const ObjectKindRow& row : kinds) {
      if (row.*Rank == rank) {
        holder = &row;
      }
    }
    if (holder == nullptr) {
      return;
    }
    if (holder->*step != nullptr) {
      (holder->*step)(session);
    }
  }
}

}  // namespace

bool DispatchObjectMessage(CGameSession& session, std::uint32_t type,
                           std::span<const std::uint8_t> payload,
                           std::span<const ObjectKindRow> kinds) {
  if (type == 0) {
    return false;  // the rows' "no message"
  }
  for (const ObjectKindRow& row : kinds) {
    if (row.createMessage == type || row.removeMessage == type) {
      const ObjectMessageHandler handler = row.createMessage == type ? row.create : row.remove;
      if (handler != nullptr) {
        handler(session, payload);
      }
      return true;
    }
  }
  return false;
}

void UpdateObjects(CGameSession& session, std::span<const ObjectKindRow> kinds) {
  const bool inPlay = session.inPlay != 0;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const ObjectKindRow& row = kinds[i];
    if (inPlay || !row.inPlayOnly) {
      if (row.update != nullptr) {
        row.update(session);
      }
    }
    const bool lastOfGroup = i + 1 == kinds.size() || kinds[i + 1].phase != row.phase;
    if (inPlay && lastOfGroup) {
      session.CloseTimedPhase(row.phase);
    }
  }
}

void MakeObjectPools(CGameSession& session, std::span<const ObjectKindRow> kinds) {
  RunInRankOrder<&ObjectKindRow::poolRank>(session, kinds, &ObjectKindRow::makePool);
}

void TearDownObjects(CGameSession& session, std::span<const ObjectKindRow> kinds) {
  RunInRankOrder<&ObjectKindRow::teardownRank>(session, kinds, &ObjectKindRow::teardown);
}
