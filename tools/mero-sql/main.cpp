// mero-sql: an SQL shell over the link for operators. It connects and logs
// in through the client's own connection module and socket, then runs the
// statements of -c, of a file or of standard input: selects print as
// aligned tables in UTF-8, other statements print "OK", errors print the
// server's text. The exit status is 1 when a statement failed.

#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "app/sql_shell.h"
#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/runtime.h"
#include "base/text_routines.h"

using namespace mero;

namespace {

constexpr const char* kUsage =
    "usage: mero-sql --user NAME [--host ADDRESS] [--port PORT] [-c STATEMENT]... [FILE]\n"
    "  The password comes from MERO_PASSWORD or is asked for without echo.\n"
    "  Statements come from -c, else from FILE, else from standard input; \";\" at the end of\n"
    "  a line or a line holding only \"/\" ends one. Port 7773 (the default) and every port\n"
    "  from 7771 to 7779 carry the link cipher.\n";

// Messages of the link and the connection module go to standard error.
class StderrPresenter : public base::CancellingPresenter {
 public:
  base::ModalResult MessDlg(const std::string& text, int kind, int, int) override {
    std::cerr << base::Win1253ToUtf8(text) << "\n";
    return kind == base::mkQuestion || kind == base::mkQuestionCancel ? base::ModalResult::Cancel
                                                                      : base::ModalResult::OK;
  }
};

std::string Password() {
  if (const char* env = std::getenv("MERO_PASSWORD"); env != nullptr) return env;
  termios old{};
  const bool tty = isatty(0) && tcgetattr(0, &old) == 0;
  std::cerr << "Password: " << std::flush;
  if (tty) {
    termios quiet = old;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(0, TCSANOW, &quiet);
  }
  std::string password;
  std::getline(std::cin, password);
  if (tty) {
    tcsetattr(0, TCSANOW, &old);
    std::cerr << "\n";
  }
  return password;
}

// Runs one statement; false when it failed.
bool Run(link::TLinkClientSocket& socket, const std::string& utf8) {
  const std::string sql = base::Utf8ToWin1253(utf8);
  app::ResultDataset dataset;
  if (app::IsQuery(utf8)) {
    const std::string error = socket.RequestSelect(&dataset, "", sql, -1, 0);
    if (!error.empty()) {
      std::cerr << base::Win1253ToUtf8(error) << "\n";
      return false;
    }
    std::cout << app::FormatTable(dataset.Rows()) << std::flush;
    return true;
  }
  const std::string error = socket.RequestExec(&dataset, "", sql, "", "", true);
  if (!error.empty()) {
    std::cerr << base::Win1253ToUtf8(error) << "\n";
    return false;
  }
  std::cout << "OK\n" << std::flush;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  base::KeepFreedMemory();
  QCoreApplication application(argc, argv);
  std::string host = app::kDefaultServerAddress;
  std::string port = "7773";
  std::string user;
  std::vector<std::string> commands;
  std::string file;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "mero-sql: " << a << " needs a value\n" << kUsage;
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--host") host = value();
    else if (a == "--port") port = value();
    else if (a == "--user") user = value();
    else if (a == "-c") commands.push_back(value());
    else if (a == "--help") {
      std::cout << kUsage;
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      std::cerr << "mero-sql: unknown option " << a << "\n" << kUsage;
      return 2;
    } else {
      file = a;
    }
  }
  if (user.empty()) {
    std::cerr << "mero-sql: --user is required\n" << kUsage;
    return 2;
  }
  std::ifstream script;
  if (commands.empty() && !file.empty()) {
    script.open(file);
    if (!script) {
      std::cerr << "mero-sql: cannot read " << file << "\n";
      return 2;
    }
  }

  StderrPresenter presenter;
  base::SetMessagePresenter(&presenter);
  app::ConnectionContext& c = app::Ctx();
  c.AppName = "MERO";
  c.LoginUser = base::StrTrim(base::UpperStr(base::Utf8ToWin1253(user)));
  c.LoginPassword = base::StrTrim(base::Utf8ToWin1253(Password()));
  c.ServerPort = port;
  c.ServerAddress = host;
  c.LoginState = -1;

  int status = 0;
  try {
    app::TDM1 module(std::vector<std::string>{});
    // The verdict arrives while events are processed; about 10 s at most.
    for (int i = 0; i < 116 && c.LoginState == -1; ++i) app::WaitWithMessages(0.1);
    if (c.LoginState != 1) {
      std::cerr << "mero-sql: "
                << (c.LoginState == 0 ? "the server refused the login" : "no answer from " + host + ":" + port) << "\n";
      return 1;
    }
    link::TLinkClientSocket& socket = module.ACS1();
    app::StatementSplitter splitter;
    auto run = [&](const std::string& statement) {
      if (!Run(socket, statement)) status = 1;
    };
    if (!commands.empty()) {
      for (const std::string& command : commands) {
        std::string text = base::StrTrim(command);
        if (!text.empty() && text.back() == ';' && base::UpperStr(text).rfind("BEGIN", 0) != 0) text.pop_back();
        run(text);
      }
    } else {
      std::istream& in = script.is_open() ? static_cast<std::istream&>(script) : std::cin;
      std::string line;
      while (std::getline(in, line)) {
        if (auto statement = splitter.AddLine(line)) run(*statement);
      }
      if (auto statement = splitter.Finish()) run(*statement);
    }
  } catch (const std::exception& e) {
    std::cerr << "mero-sql: " << base::Win1253ToUtf8(e.what()) << "\n";
    return 1;
  }
  return status;
}
