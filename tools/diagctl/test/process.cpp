#include "process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace diagctl_test {

namespace {

std::atomic<int> next_process{0};

}  // namespace

Process::Process(const std::vector<std::string> & argv, const std::string & work_dir)
{
  const std::string stem = work_dir + "/process" + std::to_string(next_process++);
  out_path_ = stem + ".out";
  err_path_ = stem + ".err";
  std::vector<char *> args;
  for (const std::string & argument : argv) {
    args.push_back(const_cast<char *>(argument.c_str()));
  }
  args.push_back(nullptr);
  pid_ = fork();
  if (pid_ < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid_ == 0) {
    const int out = open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(args[0], args.data());
    _exit(127);
  }
}

Process::~Process()
{
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

ProcessResult Process::wait(std::chrono::milliseconds timeout)
{
  ProcessResult result;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (pid_ > 0) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  result.out = out();
  result.err = err();
  return result;
}

ProcessResult Process::stop(int signal, std::chrono::milliseconds timeout)
{
  if (pid_ > 0) {
    kill(pid_, signal);
  }
  return wait(timeout);
}

std::string Process::out() const { return read_file(out_path_); }

std::string Process::err() const { return read_file(err_path_); }

ProcessResult run(
    const std::vector<std::string> & argv, const std::string & work_dir,
    std::chrono::milliseconds timeout)
{
  Process process(argv, work_dir);
  return process.wait(timeout);
}

std::string make_temp_dir()
{
  const char * base = std::getenv("TMPDIR");
  std::string pattern = std::string(base ? base : "/tmp") + "/diagctl_test_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  return pattern;
}

std::string read_file(const std::string & path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void write_file(const std::string & path, const std::string & content)
{
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace diagctl_test
