#include "app/stop_signals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace mero::app {
namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}

}  // namespace

void OnStopSignals(std::function<void()> stop) {
  if (g_pipe[0] != -1) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
  static QSocketNotifier* notifier = nullptr;  // for the whole run
  notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [stop = std::move(stop)] {
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], &byte, 1);
    stop();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace mero::app
