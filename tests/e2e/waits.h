// Waiting for a condition with a time-out, handling the driver's own messages meanwhile.
#pragma once

#include <chrono>
#include <functional>

namespace e2e {

using namespace std::chrono_literals;

// Long enough for Wine to start a process on a busy machine, short enough to fail fast.
inline constexpr std::chrono::milliseconds kDefaultTimeout = 10s;

// Handles the messages sent or posted to the driver (the probe's answers) for the given time.
void PumpMessagesFor(std::chrono::milliseconds duration);

// Polls until the condition holds; false when the time runs out first.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kDefaultTimeout);

}  // namespace e2e
