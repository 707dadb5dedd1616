#pragma once

#include <string>
#include <vector>

namespace mero::server {

// Where the server listens.
struct Endpoint {
  std::string address = "127.0.0.1";
  int port = 7773;

  // The link cipher is on for ports 7771–7779.
  bool Cipher() const;
  std::string ToString() const { return address + ":" + std::to_string(port); }
};

// Everything `mero-server serve` runs with. A configuration file may hold the
// same settings as lines "key = value" (# starts a comment); flags on the
// command line win over the file.
struct ServerConfig {
  std::string database;                                  // --db / db
  std::vector<Endpoint> listen;                          // --listen ADDR:PORT (repeatable) / listen
  std::string filesDir;                                  // --files / files: files offered to clients
  std::string applicationName = "MERO";                  // application / app-name
  std::vector<std::string> acceptedVersions = {"1,31"};  // --versions a,b / versions
  int busyTimeoutMs = 5000;                              // --busy-timeout / busy-timeout
  int loginDelayMs = 250;              // --login-delay / login-delay: first delay after a failed login
  int walPages = 4000;                 // --wal-pages / wal-pages: the log starts afresh past this many pages
  bool logRequests = false;            // --log-requests / log-requests: one log line per request
  int loginTimeoutS = 30;              // --login-timeout / login-timeout: a connection not logged in by then ends
  int maxSessions = 100;               // --max-sessions / max-sessions: connections beyond are refused
  std::string serverVersion = "1.31";  // the number utility request 6 answers

  // Fills unset listen with the default 127.0.0.1:7773.
  void ApplyDefaults();
};

// Reads "ADDR:PORT" (or ":PORT", or "PORT"); raises std::invalid_argument with
// a clear text for anything else.
Endpoint ParseEndpoint(const std::string& text);

// Reads a switch: yes/no, on/off, true/false, 1/0, in any case; raises
// std::invalid_argument naming what for anything else.
bool ParseSwitch(const std::string& text, const std::string& what);

// Reads a whole number of at least `least`; raises std::invalid_argument
// naming what for anything else.
int ParseAtLeast(const std::string& text, const std::string& what, int least);

// Reads a configuration file into config; raises std::runtime_error naming
// the file and line of a bad setting.
void LoadConfigFile(const std::string& path, ServerConfig& config);

}  // namespace mero::server
