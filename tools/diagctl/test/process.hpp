// Running the tool and the node as child processes in the process-level tests.
#ifndef DIAGCTL_TEST__PROCESS_HPP_
#define DIAGCTL_TEST__PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace diagctl_test {

struct ProcessResult
{
  int exit_code = -1;  // -1 when killed by a signal or timed out
  bool timed_out = false;
  std::string out;
  std::string err;
};

// A child whose standard output and error go to files under `work_dir`.
class Process
{
public:
  Process(const std::vector<std::string> & argv, const std::string & work_dir);
  ~Process();  // kills the child if it still runs

  Process(const Process &) = delete;
  Process & operator=(const Process &) = delete;

  // Waits for the end, killing the child after `timeout`.
  ProcessResult wait(std::chrono::milliseconds timeout);
  // Sends `signal` and waits for the end.
  ProcessResult stop(int signal, std::chrono::milliseconds timeout);
  std::string out() const;
  std::string err() const;

private:
  pid_t pid_ = -1;
  std::string out_path_;
  std::string err_path_;
};

// Runs to the end (or `timeout`) and returns what it printed.
ProcessResult run(
    const std::vector<std::string> & argv, const std::string & work_dir,
    std::chrono::milliseconds timeout);

// A fresh directory under the test temporary directory.
std::string make_temp_dir();

std::string read_file(const std::string & path);
void write_file(const std::string & path, const std::string & content);

}  // namespace diagctl_test

#endif  // DIAGCTL_TEST__PROCESS_HPP_
