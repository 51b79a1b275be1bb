// What the kernel says about a running process, for the benchmarks' figures.
#ifndef BENCH__NODE_E2E__PROCESS_STATS_HPP_
#define BENCH__NODE_E2E__PROCESS_STATS_HPP_

#include <sys/types.h>

namespace bench {

// user + system CPU time of `pid`, in seconds; 0 when it cannot be read.
double CpuSeconds(pid_t pid);

// Peak resident set of `pid` (VmHWM), in MiB; 0 when it cannot be read.
double PeakRssMiB(pid_t pid);

// Current resident set of `pid` (VmRSS), in MiB; 0 when it cannot be read.
double RssMiB(pid_t pid);

}  // namespace bench

#endif  // BENCH__NODE_E2E__PROCESS_STATS_HPP_
