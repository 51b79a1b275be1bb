// A POSIX extended regular expression that must match a whole name, for the
// mapping file's "name_pattern" and "hardware_id_pattern". POSIX matching,
// not std::regex: names come from any node on the network, and a long name
// must not be able to exhaust the stack of a backtracking matcher.
#ifndef DIAGNOSTICS_BRIDGE__NAME_PATTERN_HPP_
#define DIAGNOSTICS_BRIDGE__NAME_PATTERN_HPP_

#include <regex.h>

#include <memory>
#include <string>

namespace diagnostics_bridge {

class NamePattern
{
public:
  // Throws std::invalid_argument with the matcher's reason for a pattern that
  // does not compile, and for back-references, which make matching
  // exponential.
  explicit NamePattern(const std::string & pattern);

  // True when the pattern matches all of `name`. A name holding a NUL byte
  // never matches: the matcher would see only its first part.
  bool Matches(const std::string & name) const;

  const std::string & text() const { return text_; }

private:
  struct Compiled;
  std::string text_;
  std::shared_ptr<const Compiled> compiled_;
};

}  // namespace diagnostics_bridge

#endif  // DIAGNOSTICS_BRIDGE__NAME_PATTERN_HPP_
