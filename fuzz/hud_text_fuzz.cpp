// Chat lines are the server's and other players' bytes: any text is drawn as HUD text into a
// blank panel's DC and measured to fit any width; the fit never exceeds the text's length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "battle/ui/hud_text.h"
#include "platform/gdi.h"

namespace {

struct HudPanel {
  HudPanel() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 64;
    info.bmiHeader.biHeight = 48;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    CreateHudFont(14);
  }
  HDC dc = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static HudPanel panel;
  if (size < 1) {
    return 0;
  }
  const int width = static_cast<std::int8_t>(data[0]);
  // An exact copy, so that any read past the terminator is a finding.
  const auto text = std::make_unique<char[]>(size);
  std::memcpy(text.get(), data + 1, size - 1);
  text[size - 1] = '\0';
  DrawHudText(panel.dc, text.get(), width % 8, width / 8);
  const int fit = MeasureHudTextFit(panel.dc, width, text.get());
  if (fit < -1 || fit > static_cast<int>(std::strlen(text.get()))) {
    std::abort();
  }
  return 0;
}
