// Stopping on the signals a user or a system sends to end a program
// (SIGINT, SIGTERM, SIGHUP) at a point where nothing is left half done:
// while a TInterruptGuard lives, such a signal is only noted, and the long
// runs look at it between their steps and raise EInterrupted.
#pragma once

#include <stdexcept>
#include <string>

namespace mirufo {

// The run stopped on a signal. Not an EMirufoError, so that no handler of
// ordinary failures takes it for one and carries on.
class EInterrupted : public std::runtime_error {
public:
  explicit EInterrupted(int signal);
  int Signal() const { return signal_; }
  // The exit status a shell expects of a program ended by the signal.
  int ExitStatus() const { return 128 + signal_; }

private:
  int signal_;
};

// Notes SIGINT, SIGTERM and SIGHUP instead of dying of them, from its
// construction until its destruction, which puts the earlier handlers back
// and forgets the signal.
class TInterruptGuard {
public:
  TInterruptGuard();
  ~TInterruptGuard();
  TInterruptGuard(const TInterruptGuard&) = delete;
  TInterruptGuard& operator=(const TInterruptGuard&) = delete;
};

// The first signal noted by the living guard, or 0.
int InterruptSignal();
// Raises EInterrupted when a signal was noted.
void ThrowIfInterrupted();

} // namespace mirufo
