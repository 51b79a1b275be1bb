// Starts rclcpp_test_peer in a mode and talks to it over its standard output.
#ifndef PEER_PROCESS_HPP_
#define PEER_PROCESS_HPP_

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

extern char ** environ;

class PeerProcess
{
public:
  explicit PeerProcess(std::vector<std::string> args)
  {
    args.insert(args.begin(), RCLCPP_TEST_PEER);
    int out[2];
    if (pipe(out) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char *> argv;
    for (auto & arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    out_ = out[0];
  }

  ~PeerProcess()
  {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) {
      close(out_);
    }
  }

  PeerProcess(const PeerProcess &) = delete;
  PeerProcess & operator=(const PeerProcess &) = delete;

  bool started() const { return pid_ > 0; }

  // The next line the peer wrote (empty at end of output).
  std::string read_line()
  {
    std::string line;
    char c = 0;
    while (read(out_, &c, 1) == 1 && c != '\n') {
      line += c;
    }
    return line;
  }

  void signal(int signum) { kill(pid_, signum); }

  // Sends SIGSTOP and waits until every thread of the peer has stopped: kill()
  // returns while threads running on another core may still run for a moment.
  bool stop()
  {
    kill(pid_, SIGSTOP);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      if (all_threads_stopped()) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  // Waits for the peer to end; returns its wait status.
  int wait()
  {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

private:
  bool all_threads_stopped() const
  {
    const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
    std::error_code error;
    for (const auto & task : std::filesystem::directory_iterator(tasks, error)) {
      std::ifstream stat(task.path() / "stat");
      std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
      const auto state = content.rfind(')');
      if (state == std::string::npos || state + 2 >= content.size() || content[state + 2] != 'T') {
        return false;
      }
    }
    return !error;
  }

  pid_t pid_ = -1;
  int out_ = -1;
};

#endif  // PEER_PROCESS_HPP_
