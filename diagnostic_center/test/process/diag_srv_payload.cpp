#include "diag_srv_payload.hpp"

namespace diagnostic_center_test {
namespace {

enum WireType : std::uint32_t
{
  kVarint = 0,
  kFixed64 = 1,
  kLengthDelimited = 2,
  kFixed32 = 5
};

class Reader
{
public:
  Reader(const std::string & bytes, std::size_t begin, std::size_t end)
      : bytes_(bytes), at_(begin), end_(end)
  {
  }

  bool done() const { return at_ >= end_; }
  std::size_t position() const { return at_; }

  bool Varint(std::uint64_t & value)
  {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (at_ >= end_) {
        return false;
      }
      const auto byte = static_cast<std::uint8_t>(bytes_[at_++]);
      value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) {
        return true;
      }
    }
    return false;  // more than ten bytes
  }

  bool Skip(std::uint64_t count)
  {
    if (count > end_ - at_) {
      return false;
    }
    at_ += count;
    return true;
  }

private:
  const std::string & bytes_;
  std::size_t at_;
  std::size_t end_;
};

// int32 values travel as varints of their sign-extended 64-bit form.
std::int32_t AsInt32(std::uint64_t varint) { return static_cast<std::int32_t>(varint); }

}  // namespace

std::optional<std::vector<std::int32_t>> DecodeRootCauseList(const std::string & payload)
{
  std::vector<std::int32_t> ids;
  Reader reader(payload, 0, payload.size());
  while (!reader.done()) {
    std::uint64_t key = 0;
    if (!reader.Varint(key)) {
      return std::nullopt;
    }
    const auto field = key >> 3;
    const auto wire_type = static_cast<std::uint32_t>(key & 7);
    std::uint64_t value = 0;
    switch (wire_type) {
      case kVarint:
        if (!reader.Varint(value)) {
          return std::nullopt;
        }
        if (field == 1) {
          ids.push_back(AsInt32(value));
        }
        break;
      case kLengthDelimited: {
        if (!reader.Varint(value)) {
          return std::nullopt;
        }
        const auto begin = reader.position();
        if (!reader.Skip(value)) {
          return std::nullopt;
        }
        if (field == 1) {
          Reader packed(payload, begin, begin + value);
          while (!packed.done()) {
            std::uint64_t id = 0;
            if (!packed.Varint(id)) {
              return std::nullopt;
            }
            ids.push_back(AsInt32(id));
          }
        }
        break;
      }
      case kFixed64:
        if (!reader.Skip(8)) {
          return std::nullopt;
        }
        break;
      case kFixed32:
        if (!reader.Skip(4)) {
          return std::nullopt;
        }
        break;
      default:
        return std::nullopt;
    }
  }
  return ids;
}

}  // namespace diagnostic_center_test
