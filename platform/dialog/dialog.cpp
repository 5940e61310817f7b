#include "platform/dialog/dialog.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/dialog/dialog_picture.h"
#include "platform/dialog/dialog_resources.h"
#include "platform/kernel/message_box.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace {

using platform::DialogControlKind;
using platform::DialogControlTemplate;

constexpr const char* kDialogClass = "platform dialog";
constexpr const char* kControlClass = "platform dialog control";
// How long the modal loop sleeps when no message waits.
constexpr auto kIdleWait = std::chrono::milliseconds(10);

struct ControlState {
  HWND window = nullptr;
  std::string text;
  HICON icon = nullptr;
};

struct DialogState {
  const platform::DialogTemplate* layout = nullptr;
  DLGPROC procedure = nullptr;
  std::vector<ControlState> controls;
  int defaultId = 0;
  HICON smallIcon = nullptr;
  int pressedId = 0;
  // A message box shown over the dialog, answered by its OK.
  std::optional<platform::BoxPicture> box;
  std::thread::id thread;
  bool ended = false;
  std::intptr_t result = 0;
  // Counts every change that the picture shows.
  unsigned changes = 0;
};

// Every running dialog and its controls, under one lock: worker threads write the controls too.
struct DialogTable {
  std::mutex mutex;
  std::map<HWND, std::shared_ptr<DialogState>> dialogs;
  // A control's dialog and its index in the template.
  std::map<HWND, std::pair<HWND, std::size_t>> controls;
  // Signalled when a message box is answered or its dialog goes.
  std::condition_variable boxAnswered;
};

DialogTable& Dialogs() {
  static DialogTable table;
  return table;
}

std::shared_ptr<DialogState> FindDialog(DialogTable& table, HWND dialog) {
  const auto found = table.dialogs.find(dialog);
  return found != table.dialogs.end() ? found->second : nullptr;
}

ControlState* FindControl(DialogTable& table, HWND control) {
  const auto found = table.controls.find(control);
  if (found == table.controls.end()) {
    return nullptr;
  }
  const auto dialog = FindDialog(table, found->second.first);
  return dialog != nullptr ? &dialog->controls[found->second.second] : nullptr;
}

// Marks the control's dialog as changed.
void Touch(DialogTable& table, HWND control) {
  const auto found = table.controls.find(control);
  if (found != table.controls.end()) {
    if (const auto dialog = FindDialog(table, found->second.first)) {
      ++dialog->changes;
    }
  }
}

bool IsButton(DialogControlKind kind) {
  return kind == DialogControlKind::kButton || kind == DialogControlKind::kDefaultButton;
}

// The id of the button under the point in pixels, 0 for none.
int ButtonAt(const DialogState& state, int x, int y) {
  const int k = platform::kPixelsPerDialogUnit;
  for (const DialogControlTemplate& control : state.layout->controls) {
    if (IsButton(control.kind) && x >= control.x * k && x < (control.x + control.width) * k &&
        y >= control.y * k && y < (control.y + control.height) * k) {
      return control.id;
    }
  }
  return 0;
}

HWND ControlWindow(const DialogState& state, int id) {
  for (std::size_t i = 0; i < state.controls.size(); ++i) {
    if (state.layout->controls[i].id == id) {
      return state.controls[i].window;
    }
  }
  return nullptr;
}

bool BoxOkAt(const DialogState& state, int x, int y) {
  const int k = platform::kPixelsPerDialogUnit;
  return platform::PlaceMessageBox(state.layout->width * k, state.layout->height * k)
      .ok.Contains(x, y);
}

// Called with the table locked.
void AnswerBox(DialogTable& table, DialogState& state) {
  state.box.reset();
  ++state.changes;
  table.boxAnswered.notify_all();
}

LRESULT ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void Command(HWND dialog, DLGPROC procedure, int id, HWND control) {
  procedure(dialog, WM_COMMAND, static_cast<WPARAM>((DWORD{BN_CLICKED} << 16) | WORD(id)),
            reinterpret_cast<LPARAM>(control));
}

// What the dialog manager does with a message that the dialog's procedure left to it.
LRESULT DefaultAnswer(HWND dialog, const std::shared_ptr<DialogState>& state, UINT message,
                      WPARAM wParam, LPARAM lParam) {
  DialogTable& table = Dialogs();
  switch (message) {
    case WM_SETICON: {
      std::lock_guard lock(table.mutex);
      HICON previous = state->smallIcon;
      state->smallIcon = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(previous);
    }
    case DM_SETDEFID: {
      std::lock_guard lock(table.mutex);
      state->defaultId = static_cast<int>(wParam);
      ++state->changes;
      return TRUE;
    }
    case WM_LBUTTONDOWN: {
      std::lock_guard lock(table.mutex);
      if (state->box.has_value()) {
        state->box->pressed = BoxOkAt(*state, LOWORD(lParam), HIWORD(lParam));
      } else {
        state->pressedId = ButtonAt(*state, LOWORD(lParam), HIWORD(lParam));
      }
      ++state->changes;
      return 0;
    }
    case WM_LBUTTONUP: {
      {
        std::lock_guard lock(table.mutex);
        if (state->box.has_value()) {
          if (state->box->pressed && BoxOkAt(*state, LOWORD(lParam), HIWORD(lParam))) {
            AnswerBox(table, *state);
          } else if (state->box.has_value()) {
            state->box->pressed = false;
          }
          ++state->changes;
          return 0;
        }
      }
      int clicked = 0;
      HWND control = nullptr;
      {
        std::lock_guard lock(table.mutex);
        if (state->pressedId != 0 &&
            ButtonAt(*state, LOWORD(lParam), HIWORD(lParam)) == state->pressedId) {
          clicked = state->pressedId;
          control = ControlWindow(*state, clicked);
        }
        state->pressedId = 0;
        ++state->changes;
      }
      if (clicked != 0) {
        Command(dialog, state->procedure, clicked, control);
      }
      return 0;
    }
    case WM_CLOSE: {
      // The close box is the Cancel button of a dialog, or the OK of its message box.
      {
        std::lock_guard lock(table.mutex);
        if (state->box.has_value()) {
          AnswerBox(table, *state);
          return 0;
        }
      }
      Command(dialog, state->procedure, IDCANCEL, nullptr);
      return 0;
    }
    case WM_DESTROY: {
      std::vector<HWND> controls;
      {
        std::lock_guard lock(table.mutex);
        for (const ControlState& control : state->controls) {
          controls.push_back(control.window);
          table.controls.erase(control.window);
        }
        table.dialogs.erase(dialog);
      }
      table.boxAnswered.notify_all();
      for (HWND control : controls) {
        DestroyWindow(control);
      }
      return 0;
    }
    default:
      return DefWindowProcA(dialog, message, wParam, lParam);
  }
}

LRESULT DialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<DialogState> state;
  {
    DialogTable& table = Dialogs();
    std::lock_guard lock(table.mutex);
    state = FindDialog(table, dialog);
  }
  if (state == nullptr) {
    return DefWindowProcA(dialog, message, wParam, lParam);
  }
  const std::intptr_t answer = state->procedure(dialog, message, wParam, lParam);
  if (answer != 0 && message != WM_DESTROY) {
    return answer;
  }
  return DefaultAnswer(dialog, state, message, wParam, lParam);
}

// Each time: a class taken already stays as it is, and one forgotten since is made again.
void RegisterClasses() {
  WNDCLASSA dialogClass{};
  dialogClass.lpfnWndProc = &DialogWindowProc;
  dialogClass.lpszClassName = kDialogClass;
  RegisterClassA(&dialogClass);
  WNDCLASSA controlClass{};
  controlClass.lpfnWndProc = &ControlWindowProc;
  controlClass.lpszClassName = kControlClass;
  RegisterClassA(&controlClass);
}

bool IsHeadless() {
  return dynamic_cast<platform::HeadlessBackend*>(&platform::GetDisplayBackend()) != nullptr;
}

unsigned ChangesOf(HWND dialog) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  return state != nullptr ? state->changes : 0;
}

// Handles the thread's messages and shows the dialog's changes until done() says so. Headless,
// a script that has no more events closes the dialog (or answers its message box).
template <typename Done>
void RunDialogLoop(HWND dialog, bool headless, const Done& done) {
  unsigned shown = 0;
  bool anyShown = false;
  while (!done()) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
      DispatchMessageA(&message);
      continue;
    }
    const unsigned changes = ChangesOf(dialog);
    if (!anyShown || changes != shown) {
      platform::ShowFrame(platform::DrawDialog(dialog));
      shown = changes;
      anyShown = true;
    }
    if (headless && !platform::GetDisplayBackend().NextEventTime().has_value()) {
      SendMessageA(dialog, WM_CLOSE, 0, 0);
      continue;
    }
    std::this_thread::sleep_for(kIdleWait);
  }
}

// Shows a message box over its owner dialog and waits for its OK: on the dialog's thread in a
// loop of its own, on another thread until the dialog's thread has seen the click. Headless, or
// for an owner that is no dialog, the box is answered at once.
int PresentInDialog(void* owner, const std::string& caption, const std::string& text) {
  HWND dialog = static_cast<HWND>(owner);
  if (IsHeadless()) {
    return IDOK;
  }
  DialogTable& table = Dialogs();
  std::unique_lock lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  if (state == nullptr) {
    return IDOK;
  }
  state->box = platform::BoxPicture{caption, text, false};
  ++state->changes;
  const auto answered = [&] {
    return !state->box.has_value() || FindDialog(table, dialog) == nullptr;
  };
  if (state->thread != std::this_thread::get_id()) {
    table.boxAnswered.wait(lock, answered);
    return IDOK;
  }
  lock.unlock();
  RunDialogLoop(dialog, false, [&] {
    std::lock_guard again(table.mutex);
    return answered();
  });
  return IDOK;
}

}  // namespace

HWND CreateDialogParamA(HINSTANCE /*instance*/, LPCSTR templateName, HWND /*owner*/,
                        DLGPROC procedure, LPARAM parameter) {
  const platform::DialogTemplate* layout = platform::FindDialogTemplate(templateName);
  if (layout == nullptr || procedure == nullptr) {
    return nullptr;
  }
  RegisterClasses();
  platform::SetMessageBoxPresenter(&PresentInDialog);
  const int k = platform::kPixelsPerDialogUnit;
  HWND dialog =
      CreateWindowExA(0, kDialogClass, layout->caption, WS_CAPTION, 0, 0, layout->width * k,
                      layout->height * k, nullptr, nullptr, nullptr, nullptr);
  if (dialog == nullptr) {
    return nullptr;
  }
  auto state = std::make_shared<DialogState>();
  state->layout = layout;
  state->procedure = procedure;
  state->thread = std::this_thread::get_id();
  for (const DialogControlTemplate& control : layout->controls) {
    ControlState made;
    made.window =
        CreateWindowExA(0, kControlClass, control.text, 0, control.x * k, control.y * k,
                        control.width * k, control.height * k, dialog, nullptr, nullptr, nullptr);
    made.text = control.text;
    if (control.kind == DialogControlKind::kDefaultButton) {
      state->defaultId = control.id;
    }
    state->controls.push_back(std::move(made));
  }
  {
    DialogTable& table = Dialogs();
    std::lock_guard lock(table.mutex);
    for (std::size_t i = 0; i < state->controls.size(); ++i) {
      table.controls[state->controls[i].window] = {dialog, i};
    }
    table.dialogs[dialog] = state;
  }
  ShowWindow(dialog, SW_SHOW);
  SendMessageA(dialog, WM_INITDIALOG, 0, parameter);
  return dialog;
}

std::intptr_t DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                              DLGPROC procedure, LPARAM parameter) {
  HWND dialog = CreateDialogParamA(instance, templateName, owner, procedure, parameter);
  if (dialog == nullptr) {
    return -1;
  }
  const bool headless = IsHeadless();
  RunDialogLoop(dialog, headless, [dialog] {
    DialogTable& table = Dialogs();
    std::lock_guard lock(table.mutex);
    const auto state = FindDialog(table, dialog);
    return state == nullptr || state->ended;
  });
  std::intptr_t result = 0;
  {
    DialogTable& table = Dialogs();
    std::lock_guard lock(table.mutex);
    if (const auto state = FindDialog(table, dialog)) {
      result = state->result;
    }
  }
  platform::ShowFrame(platform::DrawDialog(dialog));
  if (headless) {
    std::fputs(platform::DescribeDialog(dialog).c_str(), stdout);
    std::fflush(stdout);
  }
  DestroyWindow(dialog);
  return result;
}

BOOL EndDialog(HWND dialog, std::intptr_t result) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  if (state == nullptr) {
    return FALSE;
  }
  state->ended = true;
  state->result = result;
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  return state != nullptr ? ControlWindow(*state, id) : nullptr;
}

BOOL SetWindowTextA(HWND control, LPCSTR text) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  ControlState* state = FindControl(table, control);
  if (state == nullptr) {
    return FALSE;
  }
  state->text = text != nullptr ? text : "";
  Touch(table, control);
  return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

int GetWindowTextA(HWND control, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    return 0;
  }
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const ControlState* state = FindControl(table, control);
  const std::size_t length =
      state != nullptr ? std::min(state->text.size(), static_cast<std::size_t>(size - 1)) : 0;
  if (state != nullptr) {
    std::memcpy(buffer, state->text.data(), length);
  }
  buffer[length] = '\0';
  return static_cast<int>(length);
}

int GetWindowTextLengthA(HWND control) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const ControlState* state = FindControl(table, control);
  return state != nullptr ? static_cast<int>(state->text.size()) : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = GetDlgItem(dialog, id);
  if (message != STM_SETIMAGE || wParam != IMAGE_ICON) {
    return SendMessageA(control, message, wParam, lParam);
  }
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  ControlState* state = FindControl(table, control);
  if (state == nullptr) {
    return 0;
  }
  HICON previous = state->icon;
  state->icon = reinterpret_cast<HICON>(lParam);
  Touch(table, control);
  return reinterpret_cast<LRESULT>(previous);
}

namespace platform {
namespace {

int IconNumber(HICON icon) {
  int id = 0;
  return icon != nullptr && DescribeIcon(icon, id, nullptr) ? id : 0;
}

}  // namespace

int DialogIconId(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const ControlState* state = FindControl(table, control);
  return state != nullptr ? IconNumber(state->icon) : 0;
}

int DialogDefaultButton(HWND dialog) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  return state != nullptr ? state->defaultId : 0;
}

std::string DialogMessageBoxText(HWND dialog) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  return state != nullptr && state->box.has_value() ? state->box->text : std::string();
}

int DialogSmallIconId(HWND dialog) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  return state != nullptr ? IconNumber(state->smallIcon) : 0;
}

Frame DrawDialog(HWND dialog) {
  std::vector<ControlPicture> pictures;
  std::optional<BoxPicture> box;
  const DialogTemplate* layout = nullptr;
  {
    DialogTable& table = Dialogs();
    std::lock_guard lock(table.mutex);
    const auto state = FindDialog(table, dialog);
    if (state == nullptr) {
      return {};
    }
    layout = state->layout;
    for (std::size_t i = 0; i < state->controls.size(); ++i) {
      const DialogControlTemplate& control = layout->controls[i];
      ControlPicture picture;
      picture.text = state->controls[i].text;
      if (state->controls[i].icon != nullptr) {
        int id = 0;
        DescribeIcon(state->controls[i].icon, id, &picture.icon);
      }
      picture.pressed = IsButton(control.kind) && control.id == state->pressedId;
      picture.isDefault = IsButton(control.kind) && control.id == state->defaultId;
      pictures.push_back(std::move(picture));
    }
    box = state->box;
  }
  return DrawDialogPicture(*layout, pictures, box);
}

std::string DescribeDialog(HWND dialog) {
  DialogTable& table = Dialogs();
  std::lock_guard lock(table.mutex);
  const auto state = FindDialog(table, dialog);
  if (state == nullptr) {
    return {};
  }
  std::string text = std::string(state->layout->caption) + "\n";
  std::string label;
  for (std::size_t i = 0; i < state->controls.size(); ++i) {
    const DialogControlTemplate& control = state->layout->controls[i];
    if (control.kind == DialogControlKind::kLabel || control.kind == DialogControlKind::kGroupBox) {
      label = control.text;
    }
    if (control.id < 0 || IsButton(control.kind) || control.kind == DialogControlKind::kLabel ||
        control.kind == DialogControlKind::kGroupBox) {
      continue;
    }
    const std::string id = std::to_string(control.id);
    if (control.kind == DialogControlKind::kIcon) {
      text += id + " icon: " + std::to_string(IconNumber(state->controls[i].icon)) + "\n";
      continue;
    }
    text += id + " " + label + ":";
    std::string value = state->controls[i].text;
    std::size_t start = 0;
    std::string separator = " ";
    while (start < value.size()) {
      std::size_t end = value.find('\n', start);
      end = end == std::string::npos ? value.size() : end;
      std::string line = value.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      text += separator + line;
      separator = "\n    ";
      start = end + 1;
    }
    text += "\n";
  }
  return text;
}

}  // namespace platform
