#include "engine/core/startup.h"

#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"

std::int32_t r3xInit() { return _r3xInitMathTables(); }

std::int32_t r3xShutdown() {
  _r3xFreeMathTables();
  return 0;
}
