// A library for the host's tests that exports no "dll_main".
extern "C" int library_without_entry() { return 0; }
