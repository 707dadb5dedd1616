// mero-server: the application server of MERO and its operator's commands.

#include <sqlite3.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/number_format.h"
#include "base/runtime.h"
#include "base/text_routines.h"
#include "server/database.h"
#include "server/passwords.h"
#include "server/prepared.h"
#include "server/schema.h"
#include "server/server.h"
#include "server/server_config.h"
#include "server/server_functions.h"
#include "server/server_log.h"
#include "server/session_vars.h"
#include "server/sql_dialect.h"

using namespace mero;

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  mero-server init --db FILE [--demo]\n"
    "      creates a database with the schema (and the demo data and users)\n"
    "  mero-server serve --db FILE [--listen ADDR:PORT]... [--files DIR] [--config FILE]\n"
    "                    [--versions V1;V2] [--busy-timeout MS] [--login-delay MS] [--log-requests]\n"
    "                    [--login-timeout S] [--max-sessions N] [--wal-pages N]\n"
    "      serves clients (default 127.0.0.1:7773; ports 7771-7779 carry the link cipher);\n"
    "      --log-requests logs every request with its session, duration and outcome;\n"
    "      a connection not logged in after --login-timeout seconds (30) is ended, and one beyond\n"
    "      --max-sessions sessions (100) is refused;\n"
    "      the write-ahead log starts afresh past --wal-pages pages (default 4000, 16 MB)\n"
    "  mero-server user add NAME --db FILE [--superuser] [--dept ID] [--rights CANU] [--other-depts D1;D2]\n"
    "                            [--full-name TEXT]\n"
    "  mero-server user passwd NAME --db FILE\n"
    "  mero-server user list --db FILE\n"
    "      manages the users; a password is read from MERO_PASSWORD or, without echo, from the terminal\n"
    "  mero-server dispatch ID --db FILE\n"
    "      records today as the dispatch date of requisition ID\n";

// The arguments after the command: flags with their values, and the words.
struct Args {
  std::vector<std::string> words;
  std::vector<std::pair<std::string, std::string>> flags;

  bool Has(const std::string& name) const {
    for (const auto& f : flags) {
      if (f.first == name) return true;
    }
    return false;
  }
  std::string Get(const std::string& name, const std::string& fallback = "") const {
    for (auto it = flags.rbegin(); it != flags.rend(); ++it) {
      if (it->first == name) return it->second;
    }
    return fallback;
  }
  std::vector<std::string> All(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& f : flags) {
      if (f.first == name) out.push_back(f.second);
    }
    return out;
  }
};

Args Parse(int argc, char** argv, int from) {
  // Flags without a value.
  static const std::vector<std::string> kSwitches = {"--demo", "--superuser", "--log-requests"};
  Args args;
  for (int i = from; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--", 0) != 0) {
      args.words.push_back(a);
      continue;
    }
    const std::size_t eq = a.find('=');
    if (eq != std::string::npos) {
      args.flags.emplace_back(a.substr(0, eq), a.substr(eq + 1));
    } else if (std::find(kSwitches.begin(), kSwitches.end(), a) != kSwitches.end()) {
      args.flags.emplace_back(a, "1");
    } else if (i + 1 < argc) {
      args.flags.emplace_back(a, argv[++i]);
    } else {
      throw std::invalid_argument(a + " needs a value");
    }
  }
  return args;
}

std::string RequireDb(const Args& args, const server::ServerConfig* config = nullptr) {
  std::string db = args.Get("--db", config != nullptr ? config->database : "");
  if (db.empty()) throw std::invalid_argument("--db FILE is required");
  return db;
}

// A connection as the server opens it: with the dialect and server functions
// the triggers need.
struct Connection {
  explicit Connection(const std::string& path, server::Database::Mode mode = server::Database::Mode::Existing)
      : db(path, mode) {
    server::RegisterSqlDialect(db, vars);
    server::RegisterServerFunctions(db, vars);
  }
  server::SessionVars vars;
  server::Database db;
};

std::string ReadPassword(const std::string& prompt) {
  if (const char* env = std::getenv("MERO_PASSWORD"); env != nullptr && *env != '\0') return env;
  termios old{};
  const bool tty = isatty(0) && tcgetattr(0, &old) == 0;
  std::string first;
  std::string second;
  auto ask = [&](const std::string& text, std::string& out) {
    std::cerr << text << std::flush;
    if (tty) {
      termios quiet = old;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      tcsetattr(0, TCSANOW, &quiet);
    }
    std::getline(std::cin, out);
    if (tty) {
      tcsetattr(0, TCSANOW, &old);
      std::cerr << "\n";
    }
  };
  ask(prompt, first);
  if (tty) {
    ask("Again: ", second);
    if (first != second) throw std::invalid_argument("the two passwords differ");
  }
  if (first.empty()) throw std::invalid_argument("an empty password is not allowed");
  return first;
}

int Init(const Args& args) {
  const std::string path = RequireDb(args);
  if (std::filesystem::exists(path)) throw std::invalid_argument(path + " exists already; nothing was changed");
  try {
    Connection c(path, server::Database::Mode::Create);
    server::CreateSchema(c.db);
    if (args.Has("--demo")) server::LoadDemoData(c.db, base::Today());
  } catch (...) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix, ec);
    throw;
  }
  std::cout << "created " << path << (args.Has("--demo") ? " with the demo data" : "") << "\n";
  return 0;
}

int Serve(const Args& args) {
  server::ServerConfig config;
  if (args.Has("--config")) server::LoadConfigFile(args.Get("--config"), config);
  config.database = RequireDb(args, &config);
  if (!std::filesystem::exists(config.database)) {
    throw std::invalid_argument(config.database + " does not exist; create it with mero-server init");
  }
  const std::vector<std::string> listen = args.All("--listen");
  if (!listen.empty()) {
    config.listen.clear();
    for (const std::string& e : listen) config.listen.push_back(server::ParseEndpoint(e));
  }
  if (args.Has("--files")) config.filesDir = args.Get("--files");
  if (args.Has("--versions")) {
    config.acceptedVersions.clear();
    std::vector<std::string> versions;
    base::SplitToList(args.Get("--versions"), ";", versions, true);
    config.acceptedVersions = versions;
  }
  std::int32_t n = 0;
  if (args.Has("--login-delay")) {
    if (!base::TryStrToInt(args.Get("--login-delay"), n) || n < 0)
      throw std::invalid_argument("--login-delay must be 0 or more");
    config.loginDelayMs = n;
  }
  if (args.Has("--busy-timeout")) {
    if (!base::TryStrToInt(args.Get("--busy-timeout"), n) || n < 0)
      throw std::invalid_argument("--busy-timeout must be 0 or more");
    config.busyTimeoutMs = n;
  }
  if (args.Has("--login-timeout")) {
    config.loginTimeoutS = server::ParseAtLeast(args.Get("--login-timeout"), "--login-timeout", 1);
  }
  if (args.Has("--max-sessions")) {
    config.maxSessions = server::ParseAtLeast(args.Get("--max-sessions"), "--max-sessions", 1);
  }
  if (args.Has("--wal-pages")) {
    if (!base::TryStrToInt(args.Get("--wal-pages"), n) || n < 10)
      throw std::invalid_argument("--wal-pages must be 10 or more");
    config.walPages = n;
  }
  if (args.Has("--log-requests"))
    config.logRequests = server::ParseSwitch(args.Get("--log-requests"), "--log-requests");
  config.ApplyDefaults();
  server::Server server(config);
  server.Run(true);
  return 0;
}

// Raises a clear error when the user's existence is not as expected.
void UserExists(sqlite3* db, const std::string& name, bool mustNot) {
  server::Prepared q(db, "SELECT 1 FROM USRLU WHERE upper(USRID) = ?1");
  q.Bind(1, std::string_view(name));
  const bool exists = q.Step();
  if (exists && mustNot) throw std::invalid_argument("there is already a user " + name);
  if (!exists && !mustNot) throw std::invalid_argument("there is no user " + name);
}

int User(const Args& args) {
  if (args.words.empty()) throw std::invalid_argument("user needs add, passwd or list");
  const std::string verb = args.words[0];
  Connection c(RequireDb(args));
  sqlite3* db = c.db.Handle();
  auto run = [db](const std::string& sql, const std::vector<std::string>& values) {
    server::Prepared q(db, sql);
    for (std::size_t i = 0; i < values.size(); ++i) q.Bind(static_cast<int>(i + 1), std::string_view(values[i]));
    q.Run();
  };
  if (verb == "list") {
    server::Prepared q(db, "SELECT USRID, IS_SUPERUSER, DEPTID, CANU, OTHER_DEPTS, FULLNAME FROM USRLU ORDER BY USRID");
    std::printf("%-16s %-5s %-8s %-12s %-16s %s\n", "USER", "SUPER", "DEPT", "RIGHTS", "OTHER DEPTS", "NAME");
    while (q.Step()) {
      std::printf("%-16s %-5s %-8s %-12s %-16s %s\n", q.Text(0).c_str(), q.Int(1) == 1 ? "yes" : "", q.Text(2).c_str(),
                  q.Text(3).c_str(), q.Text(4).c_str(), q.Text(5).c_str());
    }
    return 0;
  }
  if (args.words.size() < 2) throw std::invalid_argument("user " + verb + " needs a user name");
  const std::string name = base::UpperStr(base::StrTrim(args.words[1]));
  if (verb == "add") {
    UserExists(db, name, true);
    const std::string hash = server::HashPassword(ReadPassword("Password for " + name + ": "));
    run("INSERT INTO USRLU (USRID, DEPTID, CANU, OTHER_DEPTS, PASSWORD_HASH, IS_SUPERUSER, FULLNAME) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
        {name, args.Get("--dept", "-"), args.Get("--rights", "1111111111"), args.Get("--other-depts"), hash,
         args.Has("--superuser") ? "1" : "0", args.Get("--full-name", name)});
    std::cout << "added " << name << "\n";
    return 0;
  }
  if (verb == "passwd") {
    UserExists(db, name, false);
    const std::string hash = server::HashPassword(ReadPassword("New password for " + name + ": "));
    run("UPDATE USRLU SET PASSWORD_HASH = ?1 WHERE upper(USRID) = ?2", {hash, name});
    std::cout << "password of " << name << " changed\n";
    return 0;
  }
  throw std::invalid_argument("user needs add, passwd or list, not " + verb);
}

int Dispatch(const Args& args) {
  if (args.words.empty()) throw std::invalid_argument("dispatch needs a requisition ID");
  std::int64_t id = 0;
  if (!base::TryStrToInt64(args.words[0], id)) throw std::invalid_argument("a requisition ID is a number");
  Connection c(RequireDb(args));
  server::DispatchRequisition(c.db, id, base::Today());
  std::cout << "requisition " << id << " dispatched\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  base::KeepFreedMemory();
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "help") {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  try {
    const Args args = Parse(argc, argv, 2);
    if (command == "init") return Init(args);
    if (command == "serve") return Serve(args);
    if (command == "user") return User(args);
    if (command == "dispatch") return Dispatch(args);
    std::fprintf(stderr, "mero-server: unknown command %s\n%s", command.c_str(), kUsage);
    return 2;
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "mero-server %s: %s\n", command.c_str(), e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mero-server %s: %s\n", command.c_str(), e.what());
    return 1;
  }
}
