#include "tests/support/x_server.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

constexpr int kStartTimeoutMs = 30000;
constexpr int kStopTimeoutMs = 10000;

std::string XorgBinary() {
  // Debian's /usr/bin/Xorg is a shell wrapper; the server itself keeps the pid we fork.
  const char* direct = "/usr/lib/xorg/Xorg";
  if (access(direct, X_OK) == 0) return direct;
  return "Xorg";
}

std::string TempPath(const char* stem) {
  const char* dir = getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/" + stem + "-XXXXXX";
  std::vector<char> buf(path.begin(), path.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd >= 0) close(fd);
  return buf.data();
}

std::string LogTail(const std::string& path, size_t max_bytes = 2000) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string text = ss.str();
  if (text.size() > max_bytes) text = "..." + text.substr(text.size() - max_bytes);
  return text;
}

// Waits up to timeout_ms for the child to end; true if it did (and was reaped).
bool WaitForExit(pid_t pid, int timeout_ms, int* status) {
  for (int waited = 0;; waited += 10) {
    pid_t r = waitpid(pid, status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) return true;
    if (waited >= timeout_ms) return false;
    usleep(10 * 1000);
  }
}

}  // namespace

std::unique_ptr<TestXServer> TestXServer::Start(const std::vector<std::string>& args,
                                                const std::string& log_path, bool stderr_to_log,
                                                std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<TestXServer> {
    if (error) *error = why;
    return nullptr;
  };
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return fail(std::string("pipe: ") + strerror(errno));
  const int read_fd = fds[0];
  // The server gets the write end at a fixed number above the standard ones.
  const int server_fd = 3;

  std::vector<std::string> full = args;
  full.push_back("-displayfd");
  full.push_back(std::to_string(server_fd));
  std::vector<char*> argv;
  for (auto& a : full) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string err_path = stderr_to_log ? log_path : "/dev/null";
  const pid_t parent = getpid();

  pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return fail(std::string("fork: ") + strerror(errno));
  }
  if (pid == 0) {
    // Only async-signal-safe calls from here on: the test may have threads.
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // a crashed test must not leave its server behind
    if (getppid() != parent) _exit(127);
    int null_fd = open("/dev/null", O_RDWR);
    int err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (null_fd < 0 || err_fd < 0) _exit(127);
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    dup2(err_fd, 2);
    if (dup2(fds[1], server_fd) < 0) _exit(127);  // dup2 clears close-on-exec
    for (int fd = server_fd + 1; fd < 1024; ++fd) close(fd);
    // Signals the test blocks or ignores must not reach the server that way.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);

  std::unique_ptr<TestXServer> server(new TestXServer());
  server->_pid = pid;
  server->_owner = parent;
  server->_log_path = log_path;

  // The server writes its display number and a newline once it accepts connections.
  std::string number;
  int waited = 0;
  bool done = false;
  while (!done) {
    pollfd p{read_fd, POLLIN, 0};
    int r = poll(&p, 1, 100);
    if (r < 0 && errno == EINTR) continue;
    if (r > 0) {
      char buf[32];
      ssize_t n = read(read_fd, buf, sizeof buf);
      if (n <= 0) break;  // the server closed the pipe without a number: it died
      for (ssize_t i = 0; i < n; ++i) {
        if (buf[i] == '\n')
          done = true;
        else if (!done)
          number += buf[i];
      }
      continue;
    }
    waited += 100;
    if (waited >= kStartTimeoutMs) break;
  }
  close(read_fd);
  if (!done || number.empty()) {
    std::string why = "X server " + args[0] + " did not report a display number; log " + log_path +
                      ":\n" + LogTail(log_path);
    server->_keep_log = true;
    server.reset();  // stops and reaps it
    return fail(why);
  }
  server->_display = ":" + number;
  return server;
}

std::unique_ptr<TestXServer> TestXServer::StartXorgDummy(std::string* error) {
  return StartXorgDummyWith("xorg-dummy.conf", error);
}

std::unique_ptr<TestXServer> TestXServer::StartXorgDummyWith(const std::string& config_name,
                                                             std::string* error) {
  std::string config = std::string(MOODY_SOURCE_DIR) + "/tests/support/" + config_name;
  std::string log = TempPath("moody-xorg-log");
  // -sharevts/-novtswitch/-keeptty: never take over or switch a virtual console; without any
  // console (containers) the server simply runs without one.
  return Start({XorgBinary(), "-noreset", "-nolisten", "tcp", "-sharevts", "-novtswitch",
                "-keeptty", "-config", config, "-logfile", log},
               log, false, error);
}

std::unique_ptr<TestXServer> TestXServer::StartXvfb(int width, int height, std::string* error) {
  std::string log = TempPath("moody-xvfb-log");
  std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  return Start(
      {"Xvfb", "-screen", "0", screen, "+extension", "GLX", "-nolisten", "tcp", "-noreset"}, log,
      true, error);
}

std::unique_ptr<TestXServer> TestXServer::StartWestonXwayland(int width, int height,
                                                              const std::string& host_display,
                                                              std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<TestXServer> {
    if (error) *error = why;
    return nullptr;
  };
  // weston wants its runtime folder private to the user.
  const char* tmp = getenv("TMPDIR");
  std::string dir_template = std::string(tmp && *tmp ? tmp : "/tmp") + "/moody-weston-run-XXXXXX";
  std::vector<char> dir_buf(dir_template.begin(), dir_template.end());
  dir_buf.push_back('\0');
  if (!mkdtemp(dir_buf.data())) return fail(std::string("mkdtemp: ") + strerror(errno));
  const std::string runtime_dir = dir_buf.data();
  chmod(runtime_dir.c_str(), 0700);
  const std::string log = TempPath("moody-weston-log");
  static int serial = 0;
  const std::string socket = "moody-" + std::to_string(getpid()) + "-" + std::to_string(++serial);

  std::vector<std::string> args{
      "/usr/bin/weston",
      host_display.empty() ? "--backend=headless-backend.so" : "--backend=x11-backend.so",
      "--width=" + std::to_string(width),
      "--height=" + std::to_string(height),
      "--use-pixman",
      "--xwayland",
      "--socket=" + socket,
      "--idle-time=0",
      "--log=" + log};
  // The environment is made before the fork: the child may only make async-signal-safe calls.
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    for (const char* drop : {"DISPLAY=", "WAYLAND_DISPLAY=", "XDG_RUNTIME_DIR="}) {
      if (entry.rfind(drop, 0) == 0) entry.clear();
    }
    if (!entry.empty()) env.push_back(entry);
  }
  env.push_back("XDG_RUNTIME_DIR=" + runtime_dir);
  if (!host_display.empty()) env.push_back("DISPLAY=" + host_display);
  std::vector<char*> argv, envp;
  for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const pid_t parent = getpid();

  pid_t pid = fork();
  if (pid < 0) return fail(std::string("fork: ") + strerror(errno));
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd < 0) _exit(127);
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    dup2(null_fd, 2);
    for (int fd = 3; fd < 1024; ++fd) close(fd);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signo : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) signal(signo, SIG_DFL);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }

  std::unique_ptr<TestXServer> server(new TestXServer());
  server->_pid = pid;
  server->_owner = parent;
  server->_log_path = log;
  server->_runtime_dir = runtime_dir;

  // weston says which X display it listens on for Xwayland, which it starts on first use.
  const std::string marker = "xserver listening on display :";
  for (int waited = 0; waited < kStartTimeoutMs; waited += 50) {
    std::ifstream in(log);
    std::string line;
    while (std::getline(in, line)) {
      size_t at = line.find(marker);
      if (at == std::string::npos) continue;
      std::string number = line.substr(at + marker.size());
      while (!number.empty() && !std::isdigit(static_cast<unsigned char>(number.back()))) {
        number.pop_back();
      }
      if (number.empty()) continue;
      server->_display = ":" + number;
      return server;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      server->_pid = -1;
      break;
    }
    usleep(50 * 1000);
  }
  server->_keep_log = true;
  std::string why = "weston did not start Xwayland; log " + log + ":\n" + LogTail(log);
  server.reset();
  return fail(why);
}

void TestXServer::Kill() {
  if (_pid <= 0 || getpid() != _owner) return;
  kill(_pid, SIGKILL);
  int status = 0;
  WaitForExit(_pid, kStopTimeoutMs, &status);
  _pid = -1;
  // A killed server leaves its lock file and socket behind.
  if (_display.size() > 1) {
    std::string number = _display.substr(1);
    unlink(("/tmp/.X" + number + "-lock").c_str());
    unlink(("/tmp/.X11-unix/X" + number).c_str());
  }
}

TestXServer::~TestXServer() {
  // A forked test child holds a copy of this object; only the process that started the server
  // stops it.
  if (getpid() != _owner) return;
  if (_pid > 0) {
    kill(_pid, SIGTERM);
    int status = 0;
    if (!WaitForExit(_pid, kStopTimeoutMs, &status)) {
      kill(_pid, SIGKILL);
      WaitForExit(_pid, kStopTimeoutMs, &status);
    }
  }
  if (!_keep_log && !_log_path.empty()) {
    unlink(_log_path.c_str());
    unlink((_log_path + ".old").c_str());
  }
  if (!_runtime_dir.empty()) {
    if (DIR* dir = opendir(_runtime_dir.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") unlink((_runtime_dir + "/" + name).c_str());
      }
      closedir(dir);
    }
    rmdir(_runtime_dir.c_str());
  }
}
