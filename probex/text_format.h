// printf-style formatting into a string of whatever length the text needs.
#pragma once

#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
