#include "battle/arena/player_key_bindings.h"

#include "battle/arena/built_in_key_bindings.h"

CPlayerKeyBindings::CPlayerKeyBindings(const char* fileName)
    : loaded_(LoadKeyBindings(fileName)),
      table_(loaded_ ? loaded_.get() : kBuiltInKeyBindings.data()) {}
