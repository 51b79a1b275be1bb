// Starts rclcpp_test_peer in a mode and talks to it over its standard output.
#ifndef PEER_PROCESS_HPP_
#define PEER_PROCESS_HPP_

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
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

  // Waits for the peer to end; returns its wait status.
  int wait()
  {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

private:
  pid_t pid_ = -1;
  int out_ = -1;
};

#endif  // PEER_PROCESS_HPP_
