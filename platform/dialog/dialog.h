// Modal dialogs built from a registered template (dialog_resources.h): labels, group boxes,
// icons, edit boxes, buttons and a report box with a scroll bar. The dialog is a window of its
// own, drawn with the layer's text renderer and shown through the display backend: in the SDL2
// window its buttons are clicked with the mouse; headless, the input script's events reach it,
// and once the script has no more events it closes as its close box would, and its final texts
// are printed to standard output. A message box owned by a dialog in the window is shown over it
// and answered with its OK button; headless it is answered at once. The boxes take no typing (the
// layer queues no keyboard messages), so their texts come from the program.
#pragma once

#include <string>

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"
#include "platform/window/handles.h"
#include "platform/window/messages.h"

inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT STM_SETIMAGE = 0x0172;
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM IMAGE_ICON = 1;
inline constexpr WORD BN_CLICKED = 0;
inline constexpr int IDCANCEL = 2;

constexpr WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value); }
constexpr WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>(value >> 16); }

// Answers TRUE for a message it handled, FALSE to leave it to the dialog manager.
using DLGPROC = std::intptr_t (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the dialog of that template, shows it and sends WM_INITDIALOG with the parameter; it lives
// until DestroyWindow. Null when there is no such template.
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                        LPARAM parameter);
// Runs the dialog of that template until EndDialog and returns EndDialog's result; -1 when there
// is no such template. The owner is not used. WM_INITDIALOG receives the parameter.
std::intptr_t DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                              DLGPROC procedure, LPARAM parameter);
// Ends the modal loop once the current message is handled.
BOOL EndDialog(HWND dialog, std::intptr_t result);
HWND GetDlgItem(HWND dialog, int id);
// The calls below serve the controls of a running dialog, from any thread: the dialog's thread
// draws the change. FALSE (or 0) for any other window.
BOOL SetWindowTextA(HWND control, LPCSTR text);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
// Copies at most size - 1 characters and a terminator; the number copied.
int GetWindowTextA(HWND control, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND control);
// STM_SETIMAGE with IMAGE_ICON puts an icon into an icon control and returns the previous one.
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

namespace platform {

// The resource number of the icon in an icon control, 0 for none or for another window.
int DialogIconId(HWND dialog, int id);
// The text of the message box shown over the dialog, empty while none is.
std::string DialogMessageBoxText(HWND dialog);
// The id of the dialog's default button.
int DialogDefaultButton(HWND dialog);
// The resource number of the dialog's small icon (WM_SETICON), 0 for none.
int DialogSmallIconId(HWND dialog);
// Draws the dialog as it is now into an RGB565 frame of its size in pixels.
struct Frame;
Frame DrawDialog(HWND dialog);

// The dialog's texts as the headless run prints them: the caption, then for each addressed
// control in template order "ID LABEL: TEXT" (LABEL the nearest label above it in the template,
// each line of a multi-line text on its own line) or "ID icon: N" with the icon's resource
// number (0 for none).
std::string DescribeDialog(HWND dialog);

}  // namespace platform
