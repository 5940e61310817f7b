// Compiled only to build the precompiled test framework header.
