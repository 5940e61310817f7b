// Owned copies of strings in engine memory.
// Results: an object, or null.
#pragma once

// A copy made with r3xMalloc, or null when out of memory or when text is null.
char* _r3xCopyString(const char* text);
