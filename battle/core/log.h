// The game's text log, "arena.log": one "%02d %s\n" line per call, flushed at once so that the
// log is complete even when the game ends abruptly.
#pragma once

// Opens the named file for appending; when that fails the lines go to standard error. A null
// name opens nothing.
void OpenLog(const char* fileName);
// Writes one line: the level in at least two digits, a blank, the formatted text (cut at 20000
// bytes). Nothing is written before OpenLog.
void LogPrintf(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Closes the log file; standard error is left open.
void CloseLog();
