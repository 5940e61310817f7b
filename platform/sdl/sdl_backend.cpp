#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "base/pixel16.h"
#include "platform/input/dik_codes.h"
#include "platform/sdl/sdl_joysticks.h"

namespace platform {
namespace {

// The keys that SDL names by their position (its scan codes), with their DirectInput codes.
constexpr std::pair<SDL_Scancode, int> kKeyCodes[] = {
    {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
    {SDL_SCANCODE_1, DIK_1},
    {SDL_SCANCODE_2, DIK_2},
    {SDL_SCANCODE_3, DIK_3},
    {SDL_SCANCODE_4, DIK_4},
    {SDL_SCANCODE_5, DIK_5},
    {SDL_SCANCODE_6, DIK_6},
    {SDL_SCANCODE_7, DIK_7},
    {SDL_SCANCODE_8, DIK_8},
    {SDL_SCANCODE_9, DIK_9},
    {SDL_SCANCODE_0, DIK_0},
    {SDL_SCANCODE_MINUS, DIK_MINUS},
    {SDL_SCANCODE_EQUALS, DIK_EQUALS},
    {SDL_SCANCODE_BACKSPACE, DIK_BACK},
    {SDL_SCANCODE_TAB, DIK_TAB},
    {SDL_SCANCODE_Q, DIK_Q},
    {SDL_SCANCODE_W, DIK_W},
    {SDL_SCANCODE_E, DIK_E},
    {SDL_SCANCODE_R, DIK_R},
    {SDL_SCANCODE_T, DIK_T},
    {SDL_SCANCODE_Y, DIK_Y},
    {SDL_SCANCODE_U, DIK_U},
    {SDL_SCANCODE_I, DIK_I},
    {SDL_SCANCODE_O, DIK_O},
    {SDL_SCANCODE_P, DIK_P},
    {SDL_SCANCODE_LEFTBRACKET, DIK_LBRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, DIK_RBRACKET},
    {SDL_SCANCODE_RETURN, DIK_RETURN},
    {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
    {SDL_SCANCODE_A, DIK_A},
    {SDL_SCANCODE_S, DIK_S},
    {SDL_SCANCODE_D, DIK_D},
    {SDL_SCANCODE_F, DIK_F},
    {SDL_SCANCODE_G, DIK_G},
    {SDL_SCANCODE_H, DIK_H},
    {SDL_SCANCODE_J, DIK_J},
    {SDL_SCANCODE_K, DIK_K},
    {SDL_SCANCODE_L, DIK_L},
    {SDL_SCANCODE_SEMICOLON, DIK_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, DIK_APOSTROPHE},
    {SDL_SCANCODE_GRAVE, DIK_GRAVE},
    {SDL_SCANCODE_LSHIFT, DIK_LSHIFT},
    {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH},
    {SDL_SCANCODE_Z, DIK_Z},
    {SDL_SCANCODE_X, DIK_X},
    {SDL_SCANCODE_C, DIK_C},
    {SDL_SCANCODE_V, DIK_V},
    {SDL_SCANCODE_B, DIK_B},
    {SDL_SCANCODE_N, DIK_N},
    {SDL_SCANCODE_M, DIK_M},
    {SDL_SCANCODE_COMMA, DIK_COMMA},
    {SDL_SCANCODE_PERIOD, DIK_PERIOD},
    {SDL_SCANCODE_SLASH, DIK_SLASH},
    {SDL_SCANCODE_RSHIFT, DIK_RSHIFT},
    {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY},
    {SDL_SCANCODE_LALT, DIK_LMENU},
    {SDL_SCANCODE_SPACE, DIK_SPACE},
    {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL},
    {SDL_SCANCODE_F1, DIK_F1},
    {SDL_SCANCODE_F2, DIK_F2},
    {SDL_SCANCODE_F3, DIK_F3},
    {SDL_SCANCODE_F4, DIK_F4},
    {SDL_SCANCODE_F5, DIK_F5},
    {SDL_SCANCODE_F6, DIK_F6},
    {SDL_SCANCODE_F7, DIK_F7},
    {SDL_SCANCODE_F8, DIK_F8},
    {SDL_SCANCODE_F9, DIK_F9},
    {SDL_SCANCODE_F10, DIK_F10},
    {SDL_SCANCODE_NUMLOCKCLEAR, DIK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, DIK_SCROLL},
    {SDL_SCANCODE_KP_7, DIK_NUMPAD7},
    {SDL_SCANCODE_KP_8, DIK_NUMPAD8},
    {SDL_SCANCODE_KP_9, DIK_NUMPAD9},
    {SDL_SCANCODE_KP_MINUS, DIK_SUBTRACT},
    {SDL_SCANCODE_KP_4, DIK_NUMPAD4},
    {SDL_SCANCODE_KP_5, DIK_NUMPAD5},
    {SDL_SCANCODE_KP_6, DIK_NUMPAD6},
    {SDL_SCANCODE_KP_PLUS, DIK_ADD},
    {SDL_SCANCODE_KP_1, DIK_NUMPAD1},
    {SDL_SCANCODE_KP_2, DIK_NUMPAD2},
    {SDL_SCANCODE_KP_3, DIK_NUMPAD3},
    {SDL_SCANCODE_KP_0, DIK_NUMPAD0},
    {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL},
    {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102},
    {SDL_SCANCODE_F11, DIK_F11},
    {SDL_SCANCODE_F12, DIK_F12},
    {SDL_SCANCODE_KP_EQUALS, DIK_NUMPADEQUALS},
    {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER},
    {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
    {SDL_SCANCODE_KP_COMMA, DIK_NUMPADCOMMA},
    {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE},
    {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ},
    {SDL_SCANCODE_RALT, DIK_RMENU},
    {SDL_SCANCODE_HOME, DIK_HOME},
    {SDL_SCANCODE_UP, DIK_UP},
    {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
    {SDL_SCANCODE_LEFT, DIK_LEFT},
    {SDL_SCANCODE_RIGHT, DIK_RIGHT},
    {SDL_SCANCODE_END, DIK_END},
    {SDL_SCANCODE_DOWN, DIK_DOWN},
    {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
    {SDL_SCANCODE_INSERT, DIK_INSERT},
    {SDL_SCANCODE_DELETE, DIK_DELETE},
    {SDL_SCANCODE_LGUI, DIK_LWIN},
    {SDL_SCANCODE_RGUI, DIK_RWIN},
    {SDL_SCANCODE_APPLICATION, DIK_APPS},
};

// 0 for a key without a DirectInput code.
int ControlCharacterOf(SDL_Scancode key) {
  switch (key) {
    case SDL_SCANCODE_BACKSPACE:
      return 0x08;
    case SDL_SCANCODE_TAB:
      return 0x09;
    case SDL_SCANCODE_RETURN:
      return 0x0D;
    case SDL_SCANCODE_ESCAPE:
      return 0x1B;
    default:
      return 0;
  }
}

int ToScanCode(SDL_Scancode key) {
  for (const auto& [sdl, dik] : kKeyCodes) {
    if (sdl == key) {
      return dik;
    }
  }
  return 0;
}

std::optional<MouseButton> ToButton(std::uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return MouseButton::kLeft;
    case SDL_BUTTON_RIGHT:
      return MouseButton::kRight;
    case SDL_BUTTON_MIDDLE:
      return MouseButton::kMiddle;
    default:
      return std::nullopt;
  }
}

// 8-bit frames through their palette, or as grey levels without one.
std::uint32_t ToArgb(const Frame& frame, std::size_t index) {
  if (frame.bitsPerPixel == 8) {
    const std::uint32_t level = frame.pixels[index];
    if (frame.palette.size() == 256) {
      const PALETTEENTRY& entry = frame.palette[level];
      return 0xFF000000u | std::uint32_t{entry.peRed} << 16 | std::uint32_t{entry.peGreen} << 8 |
             entry.peBlue;
    }
    return 0xFF000000u | level << 16 | level << 8 | level;
  }
  return 0xFF000000u | arena::Widen565(frame.pixels[index * 2] | frame.pixels[index * 2 + 1] << 8);
}

class SdlBackend : public DisplayBackend {
 public:
  ~SdlBackend() override {
    HideWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool PollEvent(DWORD now, BackendEvent& event) override {
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl) != 0) {
      Translate(sdl, now);
    }
    if (pending_.empty()) {
      return false;
    }
    event = pending_.front();
    pending_.pop_front();
    return true;
  }

  std::optional<DWORD> NextEventTime() const override { return std::nullopt; }

  void ShowWindow(const std::string& title, int width, int height) override {
    if (window_ == nullptr) {
      window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                 width, height, SDL_WINDOW_RESIZABLE);
      renderer_ = window_ != nullptr ? SDL_CreateRenderer(window_, -1, 0) : nullptr;
    } else {
      SDL_SetWindowTitle(window_, title.c_str());
      SDL_SetWindowSize(window_, width, height);
    }
  }

  void HideWindow() override {
    if (texture_ != nullptr) {
      SDL_DestroyTexture(texture_);
    }
    if (renderer_ != nullptr) {
      SDL_DestroyRenderer(renderer_);
    }
    if (window_ != nullptr) {
      SDL_DestroyWindow(window_);
    }
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
  }

  void SetCursorVisible(bool visible) override {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  }

  void Present(const Frame& frame) override {
    if (renderer_ == nullptr || frame.width <= 0 || frame.height <= 0) {
      return;
    }
    if (texture_ == nullptr || textureWidth_ != frame.width || textureHeight_ != frame.height) {
      if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
      }
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                   frame.width, frame.height);
      textureWidth_ = frame.width;
      textureHeight_ = frame.height;
      // Mouse coordinates then come in the frame's pixels whatever the window's size.
      SDL_RenderSetLogicalSize(renderer_, frame.width, frame.height);
    }
    if (texture_ == nullptr) {
      return;
    }
    argb_.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
    for (std::size_t i = 0; i < argb_.size(); ++i) {
      argb_[i] = ToArgb(frame, i);
    }
    SDL_UpdateTexture(texture_, nullptr, argb_.data(), frame.width * 4);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

 private:
  void Translate(const SDL_Event& sdl, DWORD now) {
    BackendEvent event{};
    event.time = now;
    switch (sdl.type) {
      case SDL_TEXTINPUT:
        QueueCharacters(sdl.text.text, now);
        return;
      case SDL_KEYDOWN:
        // The control characters that typing these keys gives, which SDL's text input leaves out.
        if (const int control = ControlCharacterOf(sdl.key.keysym.scancode); control != 0) {
          QueueCharacter(control, now);
        }
        [[fallthrough]];
      case SDL_KEYUP:
        // The system's key repeat is not a DirectInput event.
        if (sdl.key.repeat != 0 || ToScanCode(sdl.key.keysym.scancode) == 0) {
          return;
        }
        event.kind =
            sdl.type == SDL_KEYDOWN ? BackendEventKind::kKeyDown : BackendEventKind::kKeyUp;
        event.scanCode = ToScanCode(sdl.key.keysym.scancode);
        break;
      case SDL_MOUSEMOTION:
        event.kind = BackendEventKind::kMouseMove;
        event.x = sdl.motion.x;
        event.y = sdl.motion.y;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const auto button = ToButton(sdl.button.button);
        if (!button) {
          return;
        }
        event.kind = sdl.type == SDL_MOUSEBUTTONDOWN ? BackendEventKind::kMouseButtonDown
                                                     : BackendEventKind::kMouseButtonUp;
        event.button = *button;
        event.x = sdl.button.x;
        event.y = sdl.button.y;
        break;
      }
      case SDL_WINDOWEVENT:
        if (sdl.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          event.kind = BackendEventKind::kFocusLost;
        } else if (sdl.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
          event.kind = BackendEventKind::kFocusGained;
        } else if (sdl.window.event == SDL_WINDOWEVENT_CLOSE) {
          event.kind = BackendEventKind::kClose;
        } else {
          return;
        }
        break;
      default:
        joysticks_.Translate(sdl, now, pending_);
        return;
    }
    pending_.push_back(event);
  }

  void QueueCharacter(int character, DWORD now) {
    BackendEvent event{};
    event.kind = BackendEventKind::kCharacter;
    event.time = now;
    event.character = character;
    pending_.push_back(event);
  }

  // The characters of UTF-8 text that have a code from 1 to 255; others are dropped.
  void QueueCharacters(const char* text, DWORD now) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (std::size_t i = 0; bytes[i] != 0; ++i) {
      if (bytes[i] < 0x80) {
        QueueCharacter(bytes[i], now);
      } else if ((bytes[i] == 0xC2 || bytes[i] == 0xC3) && (bytes[i + 1] & 0xC0) == 0x80) {
        QueueCharacter((bytes[i] & 0x03) << 6 | (bytes[i + 1] & 0x3F), now);
        ++i;
      }
    }
  }

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  std::vector<std::uint32_t> argb_;
  std::deque<BackendEvent> pending_;
  SdlJoysticks joysticks_;
};

// The video drivers that show a real window, in the order tried, as the environment offers
// them. SDL itself would fall back to its offscreen driver without a display, after a Wayland
// probe that complains on standard error: a driver is only tried where its display is set.
std::vector<const char*> DisplayDrivers() {
  const auto isSet = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  std::vector<const char*> drivers;
  if (isSet("WAYLAND_DISPLAY") && isSet("XDG_RUNTIME_DIR")) {
    drivers.push_back("wayland");
  }
  if (isSet("DISPLAY")) {
    drivers.push_back("x11");
  }
  return drivers;
}

}  // namespace

std::unique_ptr<DisplayBackend> CreateSdlBackend(std::string& whyNot) {
  // Ctrl+C must still end the process rather than become a window event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen != nullptr && *chosen != '\0') {
    // The user's own choice of driver is taken as it is.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      whyNot = std::string("SDL_VIDEODRIVER=") + chosen + " cannot start: " + SDL_GetError();
      return nullptr;
    }
    return std::make_unique<SdlBackend>();
  }
  const std::vector<const char*> drivers = DisplayDrivers();
  if (drivers.empty()) {
    whyNot = "no display to open (DISPLAY and WAYLAND_DISPLAY are not set)";
    return nullptr;
  }
  for (const char* driver : drivers) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      return std::make_unique<SdlBackend>();
    }
    whyNot = std::string("cannot open the display (") + driver + ": " + SDL_GetError() + ")";
  }
  return nullptr;
}

}  // namespace platform
