#include "diagctl/record_output.hpp"

#include <string>

#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace contract = diagnostic_center::contract;

namespace {

// A line number, or `unknown` for 0: past an unreadable stretch of a file.
std::string line_text(std::size_t line, const char * unknown)
{
  return line == 0 ? unknown : std::to_string(line);
}

void write_table(std::ostream & out, const std::vector<Record> & records)
{
  TextTable table({"TIME", "FAULT_ID", "STATUS", "DESCRIPTION", "MESSAGE"});
  for (const Record & record : records) {
    // Escaping again is a no-op on the node's own lines and keeps stray
    // control bytes of foreign files away from the terminal.
    std::string message = contract::EscapeRecordText(record.message);
    if (record.truncated) {
      message += message.empty() ? "[truncated]" : " [truncated]";
    }
    table.add_row(
        {record.time, std::to_string(record.fault_id), contract::ToString(record.status),
         contract::EscapeRecordText(record.description), message});
  }
  table.print(out);
}

void write_csv(std::ostream & out, const std::vector<Record> & records, bool unescape)
{
  out << "time,fault_id,description,status,message,file,line,truncated\r\n";
  for (const Record & record : records) {
    const auto text = [&](const std::string & field) {
      return csv_field(unescape ? contract::UnescapeRecordText(field) : field);
    };
    out << record.time << ',' << record.fault_id << ',' << text(record.description) << ','
        << contract::ToString(record.status) << ',' << text(record.message) << ','
        << csv_field(record.file) << ',' << line_text(record.line, "") << ','
        << (record.truncated ? "true" : "false") << "\r\n";
  }
}

void write_json(std::ostream & out, const std::vector<Record> & records, bool unescape)
{
  const auto text = [&](const std::string & field) {
    return json_string(unescape ? contract::UnescapeRecordText(field) : field);
  };
  out << '[';
  const char * separator = "\n";
  for (const Record & record : records) {
    out << separator << "  {\"time\": " << json_string(record.time)
        << ", \"fault_id\": " << record.fault_id
        << ", \"description\": " << text(record.description)
        << ", \"status\": " << json_string(contract::ToString(record.status))
        << ", \"message\": " << text(record.message) << ", \"file\": " << json_string(record.file)
        << ", \"line\": " << line_text(record.line, "null")
        << ", \"truncated\": " << (record.truncated ? "true" : "false") << '}';
    separator = ",\n";
  }
  out << (records.empty() ? "]\n" : "\n]\n");
}

}  // namespace

void write_records(
    std::ostream & out, const std::vector<Record> & records, const RecordOutputOptions & options)
{
  switch (options.format) {
    case OutputFormat::kTable:
      write_table(out, records);
      break;
    case OutputFormat::kCsv:
      write_csv(out, records, options.unescape);
      break;
    case OutputFormat::kJson:
      write_json(out, records, options.unescape);
      break;
  }
}

}  // namespace diagctl
