// mkdata's binary world writer against the engine's text scanner over arbitrary text: the writer
// refuses exactly what the scanner reports an error in, and what it writes, the binary scanner
// reads back as the text scanner's tokens with the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/r3x.h"
#include "engine/world/parse_context.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"
#include "fuzz/fuzz_input_file.h"
#include "platform/kernel/message_box.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/world_binary_writer.h"

namespace {

struct ScannedToken {
  std::int32_t token;
  std::int32_t number;
  std::uint32_t realBits;
  std::string text;
  bool operator==(const ScannedToken&) const = default;
};

struct Scanned {
  std::vector<ScannedToken> tokens;
  bool failed;
};

Scanned ScanWithEngine(const char* path) {
  platform::SetMessageBoxEcho(false);  // the parser's boxes would flood standard error
  platform::ClearShownMessageBoxes();
  R3xParseContext* context = parCreateContext(nullptr, nullptr);
  R3xWorldStream* stream = parOpenStream(path, nullptr);
  if (context == nullptr || stream == nullptr) {
    std::abort();
  }
  Scanned scanned{{}, false};
  R3xTokenSource* source = parCreateTokenSource(context, stream, "");
  if (source == nullptr) {
    std::abort();
  }
  context->tokenSource = source;
  for (std::int32_t token = parNextToken(source); token > 0; token = parNextToken(source)) {
    const R3xTokenValue& value = context->tokenValue;
    ScannedToken scannedToken{token, 0, 0, {}};
    if (value.kind == R3X_VALUE_NUMBER) {
      scannedToken.number = value.number;
    } else if (value.kind == R3X_VALUE_REAL) {
      std::memcpy(&scannedToken.realBits, &value.real, sizeof value.real);
    } else if (value.kind == R3X_VALUE_TEXT) {
      scannedToken.text.assign(value.text, value.length);
    }
    scanned.tokens.push_back(scannedToken);
  }
  scanned.failed = context->errorCount != 0;
  parDestroyTokenSource(source);
  parCloseStream(stream);
  parFreeStream(stream);
  parDestroyContext(context);
  platform::ClearShownMessageBoxes();
  return scanned;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The writer refuses a file in the binary form; the scanners would read it as such.
  if (size >= sizeof R3X_WLD_MAGIC && std::memcmp(data, R3X_WLD_MAGIC, sizeof R3X_WLD_MAGIC) == 0) {
    return 0;
  }
  const char* textPath = fuzz_input::WriteInputFile(nullptr, 0, data, size);
  const Scanned text = ScanWithEngine(textPath);
  std::vector<std::uint8_t> binary;
  try {
    binary = mkdata::EncodeBinaryWorld(textPath);
  } catch (const std::runtime_error& error) {
    // Names past 255 bytes are the binary form's limit, not a scanner error.
    if (!text.failed && std::strstr(error.what(), "name longer than 255 bytes") == nullptr) {
      std::abort();
    }
    return 0;
  }
  if (text.failed) {
    std::abort();
  }
  static const test_support::ScratchFolder folder("world_writer_fuzz");
  static const std::string binaryPath = folder / "binary";
  test_support::WriteTestFile(binaryPath, binary);
  const Scanned read = ScanWithEngine(binaryPath.c_str());
  if (read.failed || read.tokens != text.tokens) {
    std::abort();
  }
  return 0;
}
