#include "host/signal_cleanup.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

namespace korund::host {
namespace {

// A few files at a time: one lock, one temporary, and the second notebook
// of a studio window that saves under another name.
constexpr int kSlots = 8;
constexpr size_t kPathBytes = 4096;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

struct Slot {
  std::atomic<bool> taken{false};  // owned by a thread that fills it
  std::atomic<bool> armed{false};  // the path is whole: the handler removes it
  char path[kPathBytes];
};
Slot slots[kSlots];

extern "C" void RemoveAndDie(int signal) {
  for (Slot& slot : slots) {
    if (slot.armed.load()) ::unlink(slot.path);
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);  // delivered as this handler returns
}

void InstallOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int signal : kSignals) {
      struct sigaction now {};
      if (::sigaction(signal, nullptr, &now) != 0 || now.sa_handler != SIG_DFL ||
          (now.sa_flags & SA_SIGINFO) != 0) {
        continue;
      }
      struct sigaction action {};
      action.sa_handler = RemoveAndDie;
      sigemptyset(&action.sa_mask);
      for (int other : kSignals) sigaddset(&action.sa_mask, other);
      ::sigaction(signal, &action, nullptr);
    }
  });
}

}  // namespace

int RemoveOnSignal(const std::string& path) {
  if (path.empty() || path.size() >= kPathBytes) return -1;
  InstallOnce();
  for (int i = 0; i < kSlots; ++i) {
    bool expected = false;
    if (!slots[i].taken.compare_exchange_strong(expected, true)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].armed.store(true);
    return i;
  }
  return -1;
}

void ForgetOnSignal(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  slots[slot].armed.store(false);
  slots[slot].taken.store(false);
}

}  // namespace korund::host
