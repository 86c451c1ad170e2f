// Waiting for a state: the one polling loop of the tests. A test waits for
// what it needs with a budget and never sleeps a fixed time in its place, so
// that a loaded machine only makes it slower, not wrong.
#pragma once

#include <windows.h>

#include <functional>

constexpr DWORD kPollIntervalMs = 10;

// Checks done() until it holds or budgetMs has passed and returns whether it
// held. Between two checks between() runs (the GUI tests pump messages
// there), then the thread sleeps intervalMs. done() is always checked once
// more after the last between(), however late the thread got to run.
bool PollUntil(const std::function<bool()>& done, DWORD budgetMs, const std::function<void()>& between = nullptr,
               DWORD intervalMs = kPollIntervalMs);

// Handles every pending message of this thread as the program's own loop
// does (the application's PreTranslateMessage first; a WM_QUIT from a closed
// frame is dropped), then keeps pumping for ms milliseconds.
void PumpMessages(DWORD ms = 0);
