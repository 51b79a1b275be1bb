// Fault-record files kept parsed between requests of the dashboard: a file is
// read again only when its size or modification time changed, so that pages
// reloading their records every few seconds do not reread a long history.
#ifndef DIAGCTL__RECORD_CACHE_HPP_
#define DIAGCTL__RECORD_CACHE_HPP_

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "diagctl/record_source.hpp"

namespace diagctl {

class RecordCache
{
public:
  explicit RecordCache(RecordSource source) : source_(std::move(source)) {}

  // What read_record_source() would give now. Safe from several threads.
  RecordsRead read(const RecordFilter & filter);

private:
  struct Entry
  {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    std::shared_ptr<const RecordFileContent> content;
  };

  std::shared_ptr<const RecordFileContent> cached(
      const std::string & file, std::uintmax_t size, std::filesystem::file_time_type modified);
  void keep(const std::string & file, Entry entry);
  void forget_all_but(const std::set<std::string> & listed);

  const RecordSource source_;
  std::mutex mutex_;
  std::map<std::string, Entry> entries_;
};

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_CACHE_HPP_
