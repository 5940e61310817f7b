#include "tests/battle/library_probe.h"

#include "battle/core/game_params.h"
#include "battle/core/system_info.h"
#include "battle/main/game_session.h"

namespace {

// FNV-1a over the words' bytes.
template <typename Table>
void HashValues(const Table& table, std::uint32_t& hash) {
  for (const CParam& row : table) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash = (hash ^ ((row.value >> shift) & 0xFF)) * 16777619u;
    }
  }
}

}  // namespace

extern "C" void dll_probe(LibraryProbe* probe) {
  std::uint32_t hash = 2166136261u;
  HashValues(GameParamTable, hash);
  HashValues(ArenaParamTable, hash);
  probe->paramTablesHash = hash;
  probe->sessionQuitFlag = gGameSession.quitFlag;
  probe->systemInfoLength = SystemInfoBuffer.length;
}
