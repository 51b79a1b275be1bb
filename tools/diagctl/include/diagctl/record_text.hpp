// The visible escapes of fault-record lines.
//
// The node writes a line feed as `\n`, a carriage return as `\r` and every
// other control character except tab as `\xHH`, so that no description or
// event message can forge a record line; every other byte stands as it is.
// A backslash is not escaped, so a decoded text is only a best reading:
// a message that held the two characters `\n` decodes to a line feed.
#ifndef DIAGCTL__RECORD_TEXT_HPP_
#define DIAGCTL__RECORD_TEXT_HPP_

#include <string>
#include <string_view>

namespace diagctl {

// True for the bytes the node escapes: 0x00-0x1F except tab, and DEL.
bool is_escaped_control(unsigned char byte);

// Writes `text` the way the node writes it into a record line.
std::string escape_record_text(std::string_view text);

// Turns `\n`, `\r` and `\xHH` (either case of hex digit) back into bytes;
// any other backslash is kept as it stands.
std::string unescape_record_text(std::string_view text);

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_TEXT_HPP_
