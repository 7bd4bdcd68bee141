#pragma once

#include <functional>

// Runs the event loop until cond() holds or the deadline passes; returns cond().
bool WaitUntil(const std::function<bool()> &cond, int timeoutMs = 10000);

// Runs whatever is waiting in the event loop now, plus what that posts in turn, a few
// rounds (no waiting for the clock).
void DrainEvents(int rounds = 5);
