#include "app/connection_context.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/connection_module.h"
#include "base/clock.h"
#include "link/client/client_socket.h"

namespace mero::app {

ConnectionContext& Ctx() {
  static ConnectionContext context;
  return context;
}

void WaitWithMessages(double x) {
  if (x <= 0.0001) return;
  // One unit of x is a hundred-thousandth of a day.
  const auto limit = static_cast<qint64>(x * 86400.0 * 1000.0 / 100000.0);
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() <= limit) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
}

void ResetConnection() {
  ConnectionContext& c = Ctx();
  c.LoggedIn = false;
  c.CurrentUser.clear();
  RST1Inf().int1 = -1234;
  if (c.socket != nullptr) c.socket->SetActive(false);
}

void ResetConnectionContext() { Ctx() = ConnectionContext{}; }

void SendLoginRequest() {
  ConnectionContext& c = Ctx();
  c.LastCodedReply = 0;
  if (c.socket == nullptr) return;
  link::TLinkClientSocket& s = *c.socket;
  s.PostCodedMessage(3001,
                     s.UserName() + ";" + s.Password() + ";" + s.ApplicationName() + ";" + s.ApplicationVersion());
  int counter = 0;
  while (true) {
    WaitWithMessages(0.1);
    ++counter;
    QCoreApplication::processEvents();
    if (counter > 50 || (counter > 30 && c.LastCodedReply == 13001)) break;
  }
}

}  // namespace mero::app
