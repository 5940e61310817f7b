// Installs the update files that a library has left in the working folder: a name ending in one
// of the patterns "dl_", "ex_", "r3_", "bm_", "tx_", "da_" is pending, and is installed under the
// name with its last "_" replaced by the letter that completes the extension.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The name a pending file is installed as; nothing for a name that is not pending. Letter case
// matters: "RUN.EX_" is not pending.
std::optional<std::string> InstalledName(std::string_view name);

// Renames every pending file of the working folder to its installed name, replacing a file of
// that name in one step, so the installed file stays as it was when the rename fails. A file
// that cannot be installed stays pending for the next time.
void InstallPendingUpdates();
