// The problem report of the comments box.
#pragma once

#include <string>

#include "platform/kernel/types.h"
#include "platform/window/handles.h"

// The all-clear for 0; otherwise the heading and the line of each set bit, numbered from 1.
std::string FormatProblemReport(DWORD problemWord);
// Replaces the comments box's text with the report of the current problem word.
void WriteProblemReport(HWND dialog);
