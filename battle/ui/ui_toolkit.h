// The screen toolkit's global state and input: one screen uses it at a time. While the screen is
// up, the game window procedure hands every message to HandleUiWindowMessage, which tracks the
// mouse over the widgets, changes their looks and queues events that PumpUiEvents hands out.
#pragma once

#include <optional>

#include "battle/ui/ui_event.h"
#include "battle/ui/ui_widget.h"
#include "platform/win32.h"

// Held arrows repeat first this long after the press, then at the slow interval until the
// acceleration time after the press, then at the fast one.
inline constexpr DWORD kUiFirstRepeatMs = 300;
inline constexpr DWORD kUiSlowRepeatMs = 150;
inline constexpr DWORD kUiAccelerationMs = 1000;
inline constexpr DWORD kUiFastRepeatMs = 50;

inline constexpr int kUiCursorWidth = 12;
inline constexpr int kUiCursorHeight = 19;

// The fonts, the text sprite that DrawUiText writes into, and the cursor sprite.
void InitUi(UiSprite* textSprite);
// Frees the cursor and the fonts, forgets the pressed, hover and repeating widgets and drops the
// queued events, so nothing from this opening reaches the next.
void ShutdownUi();
// Auto-repeat, then the window messages waiting, then the oldest queued event.
std::optional<UiEvent> PumpUiEvents();
// Whether PumpUiEvents met the quit message (which it leaves queued for the game's own loop).
bool IsUiQuitRequested();
LRESULT HandleUiWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RepeatUiArrows();
// Places the cursor sprite at the mouse.
void MoveUiCursor();
UiSprite* GetUiCursor();
// One line in the list font or the small font: alignment 0 left, 1 centred, 2 right; any other
// draws nothing.
void DrawUiText(int x, int y, int width, int height, COLORREF colour, const char* text,
                int alignment);
void DrawUiSmallText(int x, int y, int width, int height, COLORREF colour, const char* text,
                     int alignment);
// The list font, for the text lists; null before InitUi.
HFONT GetUiListFont();

// The widgets in creation order.
void AddUiWidget(UiWidget* widget);
void RemoveUiWidget(UiWidget* widget);
// Forgets the widget as the hover, pressed or repeating one (its destruction).
void ForgetUiWidget(UiWidget* widget);
int CountUiWidgets();
// Draws every widget again by its kind (after the palette changed), in creation order.
void RedrawUiWidgets();
// Puts the current sprite of every widget on the frame, forced, in creation order.
void DrawUiWidgetSprites();
// Events waiting in the queue.
int CountUiEvents();
