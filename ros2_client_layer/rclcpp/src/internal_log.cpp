#include "internal_log.hpp"

#include <chrono>
#include <cstdio>

namespace client_layer {

namespace {

void write_line(const char * severity, const std::string & logger_name, const std::string & message)
{
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
  std::fprintf(
      stderr, "[%s] [%lld.%09lld] [%s]: %s\n", severity, static_cast<long long>(ns / 1000000000),
      static_cast<long long>(ns % 1000000000), logger_name.c_str(), message.c_str());
}

}  // namespace

void log_info(const std::string & logger_name, const std::string & message)
{
  write_line("INFO", logger_name, message);
}

void log_warning(const std::string & logger_name, const std::string & message)
{
  write_line("WARN", logger_name, message);
}

}  // namespace client_layer
