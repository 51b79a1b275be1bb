#include "diagctl/record_cache.hpp"

#include <utility>

namespace diagctl {

namespace fs = std::filesystem;

RecordsRead RecordCache::read(const RecordFilter & filter)
{
  RecordsRead read;
  std::set<std::string> listed;
  for (const fs::path & file : list_record_files(source_, read)) {
    const std::string name = file.string();
    listed.insert(name);
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    const fs::file_time_type modified = ec ? fs::file_time_type() : fs::last_write_time(file, ec);
    std::shared_ptr<const RecordFileContent> content;
    if (!ec) {
      content = cached(name, size, modified);
    }
    if (!content) {
      // Read without the lock: a long file must not hold up other pages.
      auto fresh = std::make_shared<RecordFileContent>();
      std::string problem;
      if (!read_record_file(file, source_.lookup, *fresh, problem)) {
        read.problems.push_back(problem);
        read.ok = false;
        continue;
      }
      content = fresh;
      if (!ec) {
        keep(name, {size, modified, content});
      }
    }
    take_records(*content, filter, read);
  }
  forget_all_but(listed);
  return read;
}

std::shared_ptr<const RecordFileContent> RecordCache::cached(
    const std::string & file, std::uintmax_t size, fs::file_time_type modified)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = entries_.find(file);
  if (found == entries_.end() || found->second.size != size || found->second.modified != modified) {
    return nullptr;
  }
  return found->second.content;
}

void RecordCache::keep(const std::string & file, Entry entry)
{
  std::lock_guard<std::mutex> lock(mutex_);
  entries_[file] = std::move(entry);
}

void RecordCache::forget_all_but(const std::set<std::string> & listed)
{
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = entries_.begin(); it != entries_.end();) {
    it = listed.count(it->first) != 0 ? std::next(it) : entries_.erase(it);
  }
}

}  // namespace diagctl
