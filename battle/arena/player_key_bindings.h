// The key bindings the player's tank plays with: "control.dat" when it loads, else the built-in
// table, which is never freed.
#pragma once

#include "battle/arena/key_binding.h"

class CPlayerKeyBindings {
 public:
  explicit CPlayerKeyBindings(const char* fileName = "control.dat");

  // Ends with the terminating record.
  const KeyBinding* Table() const { return table_; }
  bool IsBuiltIn() const { return loaded_ == nullptr; }

 private:
  KeyBindingTable loaded_;
  const KeyBinding* table_;
};
