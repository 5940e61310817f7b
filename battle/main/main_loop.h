// The game's message loop: one window message at most, then one frame, until the game ends.
#pragma once

class CGameSession;

// Runs while the session's quit flag stays clear; WM_QUIT ends it before the next frame. It never
// sleeps: the frame's buffer swap paces it.
void RunMainLoop(CGameSession& session);
