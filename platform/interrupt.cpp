#include "platform/interrupt.h"

#include "platform/translate.h"

#include <array>
#include <csignal>
#include <cstring>

namespace mirufo {
namespace {

volatile std::sig_atomic_t caught = 0;
constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, 3> previous{};

extern "C" void NoteSignal(int signal) {
  if (caught == 0)
    caught = signal;
}

} // namespace

EInterrupted::EInterrupted(int signal)
    : std::runtime_error(std::string("中断しました (") +
                         (strsignal(signal) ? strsignal(signal) : "") + ")"),
      signal_(signal) {}

TInterruptGuard::TInterruptGuard() {
  caught = 0;
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  // Interrupted reads and writes go on where they were.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    sigaction(kSignals[i], &action, &previous[i]);
}

TInterruptGuard::~TInterruptGuard() {
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    sigaction(kSignals[i], &previous[i], nullptr);
  caught = 0;
}

int InterruptSignal() {
  return caught;
}

void ThrowIfInterrupted() {
  if (const int signal = caught)
    throw EInterrupted(signal);
}

} // namespace mirufo
