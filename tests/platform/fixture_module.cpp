// A module for the loader's tests: its counter starts at zero on every fresh load.
namespace {
int gLoads = 0;
}

extern "C" int fixture_answer() { return 42; }
extern "C" int fixture_count_call() { return ++gLoads; }
