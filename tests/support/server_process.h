#pragma once

// A real mero-server process for tests and benchmarks: a fresh demo database
// in a temporary folder, the server listening on a port the system chooses
// (or a given one), its log collected, and a clean stop at the end.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace mero::test {

// The mero-server program built with the tests.
const char* MeroServerPath();

// Runs mero-server with the arguments; returns its exit status and output
// (standard output and standard error together).
int RunMeroServer(const std::vector<std::string>& args, std::string* output = nullptr,
                  const std::string& input = std::string());

class ServerProcess {
 public:
  struct Options {
    bool demo = true;                // init --demo
    std::vector<int> ports = {0};    // listen on 127.0.0.1:each (0: any free port)
    std::string filesDir;            // --files
    std::vector<std::string> extra;  // more arguments for serve
    // Runs on the new database file before the server starts (extra tables
    // for a benchmark, say).
    std::function<void(const std::string& database)> prepare;
  };

  ServerProcess() : ServerProcess(Options{}) {}
  explicit ServerProcess(const Options& options);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // The bound ports, in the order asked.
  const std::vector<int>& Ports() const { return ports_; }
  int Port() const { return ports_.front(); }
  const std::string& Database() const { return database_; }
  const TempDir& Dir() const { return dir_; }
  // The log so far: everything the server wrote up to this call.
  std::string Log() const;
  // Waits until the log holds the text; false after the time-out.
  bool WaitForLog(const std::string& text, int timeoutMs = 5000) const;
  // Sends SIGTERM and waits for the exit and the end of its log; returns the
  // exit status.
  int Stop();
  // Kills the server with SIGKILL, as a crash would, and waits for it.
  void Kill();
  // Starts the server again on the same database (after Stop or Kill), on
  // the ports asked first; the log goes on after what the last one wrote.
  void Restart();
  // Stops the server (SIGSTOP) and returns once all its threads have
  // stopped: it reads and answers nothing more until it is killed.
  void Freeze();
  bool Running() const { return pid_ > 0; }
  // The server's process id (-1 when it is not running).
  int Pid() const { return pid_; }

 private:
  TempDir dir_;
  std::string database_;
  int pid_ = -1;
  int logFd_ = -1;
  std::vector<int> ports_;
  // Appends what the pipe holds now; false once it is closed (or broken).
  bool DrainLocked() const;
  // Starts serve and waits until it listens; raises std::runtime_error.
  void Launch();
  // Waits for the end of the log of a server that has exited.
  void EndLog();

  std::vector<std::string> serve_;
  std::size_t portsWanted_ = 0;

  mutable std::mutex mutex_;
  mutable std::string log_;
  mutable bool logClosed_ = false;
  std::thread reader_;
};

}  // namespace mero::test
