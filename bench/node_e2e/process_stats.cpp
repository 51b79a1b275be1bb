#include "process_stats.hpp"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace bench {

namespace {

// A "<key>: <n> kB" line of /proc/<pid>/status, in MiB.
double StatusMiB(pid_t pid, const std::string & key)
{
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) {
      return std::stod(line.substr(key.size())) / 1024.0;
    }
  }
  return 0;
}

}  // namespace

double CpuSeconds(pid_t pid)
{
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto name_end = content.rfind(')');
  if (name_end == std::string::npos) {
    return 0;
  }
  // Fields after the command name, which is in parentheses and may hold spaces.
  std::istringstream fields(content.substr(name_end + 2));
  std::string field;
  unsigned long long utime = 0;
  unsigned long long stime = 0;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14) {
      utime = std::stoull(field);
    } else if (index == 15) {
      stime = std::stoull(field);
      break;
    }
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double PeakRssMiB(pid_t pid) { return StatusMiB(pid, "VmHWM:"); }

double RssMiB(pid_t pid) { return StatusMiB(pid, "VmRSS:"); }

}  // namespace bench
