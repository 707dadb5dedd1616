#include "support/server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <regex>
#include <stdexcept>

namespace mero::test {
namespace {

std::vector<char*> Argv(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(MeroServerPath()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

int Spawn(const std::vector<std::string>& args, int& outFd, int& inFd) {
  int out[2];
  int in[2];
  if (pipe(out) != 0 || pipe(in) != 0) throw std::runtime_error("cannot create pipes");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("cannot fork");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(out[1], 2);
    close(out[0]);
    close(out[1]);
    close(in[0]);
    close(in[1]);
    std::vector<char*> argv = Argv(args);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  close(in[0]);
  outFd = out[0];
  inFd = in[1];
  return pid;
}

}  // namespace

const char* MeroServerPath() { return MERO_SERVER_PATH; }

int RunMeroServer(const std::vector<std::string>& args, std::string* output, const std::string& input) {
  int outFd = -1;
  int inFd = -1;
  const int pid = Spawn(args, outFd, inFd);
  if (!input.empty()) (void)!write(inFd, input.data(), input.size());
  close(inFd);
  std::string text;
  char buf[4096];
  ssize_t n;
  while ((n = read(outFd, buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
  close(outFd);
  int status = 0;
  waitpid(pid, &status, 0);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ServerProcess::ServerProcess(const Options& options) {
  database_ = dir_.File("mero.db");
  std::vector<std::string> init = {"init", "--db", database_};
  if (options.demo) init.push_back("--demo");
  std::string output;
  if (RunMeroServer(init, &output) != 0) throw std::runtime_error("mero-server init failed: " + output);
  if (options.prepare) options.prepare(database_);

  // Failed logins of the tests wait a little, not a quarter of a second.
  serve_ = {"serve", "--db", database_, "--login-delay", "10"};
  for (int port : options.ports) {
    serve_.push_back("--listen");
    serve_.push_back("127.0.0.1:" + std::to_string(port));
  }
  if (!options.filesDir.empty()) {
    serve_.push_back("--files");
    serve_.push_back(options.filesDir);
  }
  serve_.insert(serve_.end(), options.extra.begin(), options.extra.end());
  portsWanted_ = options.ports.size();
  Launch();
}

void ServerProcess::Launch() {
  const std::size_t logBefore = log_.size();
  logClosed_ = false;
  int inFd = -1;
  pid_ = Spawn(serve_, logFd_, inFd);
  close(inFd);
  fcntl(logFd_, F_SETFL, fcntl(logFd_, F_GETFL) | O_NONBLOCK);
  // Keeps the pipe from filling while nobody asks for the log; Log() takes
  // what is waiting itself, so it never lags behind what the server wrote.
  reader_ = std::thread([this] {
    pollfd p{logFd_, POLLIN, 0};
    while (true) {
      {
        std::lock_guard lock(mutex_);
        if (!DrainLocked()) return;
      }
      p.revents = 0;
      poll(&p, 1, 50);
    }
  });
  // The server names each bound endpoint in its log, in the order asked.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  const std::regex listening("listening on 127\\.0\\.0\\.1:([0-9]+)");
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string text = Log().substr(logBefore);
    std::vector<int> found;
    for (std::sregex_iterator it(text.begin(), text.end(), listening), end; it != end; ++it) {
      found.push_back(std::stoi((*it)[1]));
    }
    if (found.size() >= portsWanted_) {
      ports_ = found;
      return;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  Stop();
  const std::string text = Log();
  throw std::runtime_error("mero-server did not start listening: " + text);
}

ServerProcess::~ServerProcess() { Stop(); }

bool ServerProcess::DrainLocked() const {
  if (logClosed_) return false;
  char buf[4096];
  while (true) {
    const ssize_t n = read(logFd_, buf, sizeof buf);
    if (n > 0) {
      log_.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      logClosed_ = true;
      return false;
    } else {
      return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    }
  }
}

std::string ServerProcess::Log() const {
  std::lock_guard lock(mutex_);
  // Every line the server wrote before anything the caller saw it do is in
  // the pipe by now.
  DrainLocked();
  return log_;
}

bool ServerProcess::WaitForLog(const std::string& text, int timeoutMs) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Log().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

int ServerProcess::Stop() {
  int status = 0;
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
  }
  EndLog();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ServerProcess::EndLog() {
  // The reader ends at the end of the log, once the server is gone: the
  // caller then reads every line the server wrote.
  if (reader_.joinable()) reader_.join();
  if (logFd_ >= 0) close(logFd_);
  logFd_ = -1;
}

void ServerProcess::Kill() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  EndLog();
}

void ServerProcess::Restart() {
  Stop();
  Launch();
}

void ServerProcess::Freeze() {
  if (pid_ <= 0) return;
  kill(pid_, SIGSTOP);
  // The signal only starts the stop; a thread already running may answer
  // one more request unless the group stop is complete.
  int status = 0;
  waitpid(pid_, &status, WUNTRACED);
}

}  // namespace mero::test
