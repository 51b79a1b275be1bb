// Copyright 2026 Corvanta diagnostics team
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.
//
// SPDX-License-Identifier: Apache-2.0

#include "raw_sertype.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "dds/ddsi/q_radmin.h"

namespace client_layer::rmw::detail {
namespace {

constexpr std::size_t kEncapsulationSize = 4;
constexpr std::uint8_t kPaddingMask = 0x03;  // low bits of the second options byte

std::size_t align4(std::size_t size) { return (size + 3) & ~static_cast<std::size_t>(3); }

// One sample in a single allocation: the header, then the bytes as they
// travel on the wire, padded to a multiple of four, plus zeroed room up to the
// next multiple of four for Cyclone's reads. Key-only samples have four zero
// bytes.
struct RawSerdata : ddsi_serdata
{
  RawSerdata(const ddsi_sertype * type, ddsi_serdata_kind kind, std::uint32_t size)
      : ddsi_serdata{}, wire_size(size)
  {
    ddsi_serdata_init(this, type, kind);
  }

  std::uint8_t * bytes() { return reinterpret_cast<std::uint8_t *>(this + 1); }
  const std::uint8_t * bytes() const { return reinterpret_cast<const std::uint8_t *>(this + 1); }

  const std::uint32_t wire_size;
};

std::size_t capacity_for(std::size_t size) { return std::max<std::size_t>(align4(size), 4); }

// A sample whose `size` bytes the caller fills in; the room behind them is
// zeroed. Null when out of memory or too large for the wire.
RawSerdata * allocate_serdata(const ddsi_sertype * type, ddsi_serdata_kind kind, std::size_t size)
{
  if (size > UINT32_MAX - 4) {
    return nullptr;
  }
  const std::size_t capacity = capacity_for(size);
  void * memory = ::operator new(sizeof(RawSerdata) + capacity, std::nothrow);
  if (memory == nullptr) {
    return nullptr;
  }
  auto * d = new (memory) RawSerdata(type, kind, static_cast<std::uint32_t>(size));
  std::memset(d->bytes() + size, 0, capacity - size);
  return d;
}

const RawSerdata * as_raw(const ddsi_serdata * serdata)
{
  return static_cast<const RawSerdata *>(serdata);
}

// Length of the sample without the padding its encapsulation options announce.
std::size_t logical_size(const RawSerdata & d)
{
  if (d.wire_size < kEncapsulationSize) {
    return d.wire_size;
  }
  const std::size_t padding = d.bytes()[3] & kPaddingMask;
  return padding <= d.wire_size - kEncapsulationSize ? d.wire_size - padding : d.wire_size;
}

// --- serdata operations --------------------------------------------------

std::uint32_t serdata_size(const ddsi_serdata * d) { return as_raw(d)->wire_size; }

void serdata_free(ddsi_serdata * d)
{
  auto * raw = static_cast<RawSerdata *>(d);
  raw->~RawSerdata();
  ::operator delete(raw);
}

ddsi_serdata * serdata_from_ser(
    const ddsi_sertype * type, ddsi_serdata_kind kind, const nn_rdata * fragchain, std::size_t size)
{
  RawSerdata * d = allocate_serdata(type, kind, size);
  if (d == nullptr) {
    return nullptr;  // Cyclone drops the sample
  }
  // Fragments may overlap; copy only what extends the bytes gathered so far.
  std::size_t off = 0;
  for (const nn_rdata * frag = fragchain; frag != nullptr && off < size; frag = frag->nextfrag) {
    const std::size_t end = std::min<std::size_t>(frag->maxp1, size);
    if (frag->min > off || end <= off) {
      continue;
    }
    const unsigned char * payload = NN_RMSG_PAYLOADOFF(frag->rmsg, NN_RDATA_PAYLOAD_OFF(frag));
    std::memcpy(d->bytes() + off, payload + (off - frag->min), end - off);
    off = end;
  }
  std::memset(d->bytes() + off, 0, size - off);  // a gap in the chain reads as zeros
  return d;
}

ddsi_serdata * serdata_from_ser_iov(
    const ddsi_sertype * type, ddsi_serdata_kind kind, ddsrt_msg_iovlen_t niov,
    const ddsrt_iovec_t * iov, std::size_t size)
{
  RawSerdata * d = allocate_serdata(type, kind, size);
  if (d == nullptr) {
    return nullptr;
  }
  std::size_t off = 0;
  for (ddsrt_msg_iovlen_t i = 0; i < niov && off < size; i++) {
    const std::size_t n = std::min<std::size_t>(iov[i].iov_len, size - off);
    std::memcpy(d->bytes() + off, iov[i].iov_base, n);
    off += n;
  }
  std::memset(d->bytes() + off, 0, size - off);
  return d;
}

ddsi_serdata * serdata_from_keyhash(const ddsi_sertype * type, const ddsi_keyhash *)
{
  // Keyless: a key-only sample carries nothing.
  return allocate_serdata(type, SDK_KEY, 0);
}

ddsi_serdata * serdata_from_sample(
    const ddsi_sertype * type, ddsi_serdata_kind kind, const void * sample)
{
  if (kind != SDK_DATA) {
    return allocate_serdata(type, kind, 0);
  }
  return make_raw_serdata(type, static_cast<const BytePiece *>(sample), 1);
}

ddsi_serdata * serdata_to_untyped(const ddsi_serdata * d)
{
  auto * untyped = allocate_serdata(d->type, SDK_KEY, 0);
  if (untyped != nullptr) {
    untyped->type = nullptr;
  }
  return untyped;
}

void serdata_to_ser(const ddsi_serdata * d, std::size_t off, std::size_t sz, void * buf)
{
  const RawSerdata * raw = as_raw(d);
  const std::size_t capacity = capacity_for(raw->wire_size);
  std::memset(buf, 0, sz);
  if (off < capacity) {
    std::memcpy(buf, raw->bytes() + off, std::min(sz, capacity - off));
  }
}

ddsi_serdata * serdata_to_ser_ref(
    const ddsi_serdata * d, std::size_t off, std::size_t sz, ddsrt_iovec_t * ref)
{
  ref->iov_base = const_cast<std::uint8_t *>(as_raw(d)->bytes() + off);
  ref->iov_len = static_cast<ddsrt_iov_len_t>(sz);
  return ddsi_serdata_ref(d);
}

void serdata_to_ser_unref(ddsi_serdata * d, const ddsrt_iovec_t *) { ddsi_serdata_unref(d); }

// Samples handed to dds_read/dds_take are std::vector<std::uint8_t>.
bool serdata_to_sample(const ddsi_serdata * d, void * sample, void **, void *)
{
  if (d->kind == SDK_DATA) {
    copy_raw_sample(d, *static_cast<std::vector<std::uint8_t> *>(sample));
  }
  return true;
}

bool serdata_untyped_to_sample(const ddsi_sertype *, const ddsi_serdata *, void *, void **, void *)
{
  return true;  // keyless: nothing to fill in
}

bool serdata_eqkey(const ddsi_serdata *, const ddsi_serdata *) { return true; }

std::size_t serdata_print(
    const ddsi_sertype *, const ddsi_serdata * d, char * buf, std::size_t size)
{
  const int n = std::snprintf(buf, size, "(%zu bytes)", logical_size(*as_raw(d)));
  return n < 0 ? 0 : static_cast<std::size_t>(n);
}

void serdata_get_keyhash(const ddsi_serdata *, ddsi_keyhash * buf, bool)
{
  std::memset(buf, 0, sizeof(*buf));
}

#ifdef DDS_HAS_SHM
std::uint32_t serdata_iox_size(const ddsi_serdata * d) { return d->type->iox_size; }
#endif

const ddsi_serdata_ops kSerdataOps = [] {
  ddsi_serdata_ops ops{};
  ops.eqkey = serdata_eqkey;
  ops.get_size = serdata_size;
  ops.from_ser = serdata_from_ser;
  ops.from_ser_iov = serdata_from_ser_iov;
  ops.from_keyhash = serdata_from_keyhash;
  ops.from_sample = serdata_from_sample;
  ops.to_ser = serdata_to_ser;
  ops.to_ser_ref = serdata_to_ser_ref;
  ops.to_ser_unref = serdata_to_ser_unref;
  ops.to_sample = serdata_to_sample;
  ops.to_untyped = serdata_to_untyped;
  ops.untyped_to_sample = serdata_untyped_to_sample;
  ops.free = serdata_free;
  ops.print = serdata_print;
  ops.get_keyhash = serdata_get_keyhash;
#ifdef DDS_HAS_SHM
  ops.get_sample_size = serdata_iox_size;
  ops.from_iox_buffer = nullptr;  // shared memory is never enabled
#endif
  return ops;
}();

// --- sertype operations --------------------------------------------------

using Sample = std::vector<std::uint8_t>;

void sertype_free(ddsi_sertype * type)
{
  ddsi_sertype_fini(type);
  delete type;
}

void sertype_zero_samples(const ddsi_sertype *, void * samples, std::size_t count)
{
  auto * array = static_cast<Sample *>(samples);
  for (std::size_t i = 0; i < count; i++) {
    array[i].clear();
  }
}

// Grows (or shrinks) a contiguous array of samples for loaned reads.
void sertype_realloc_samples(
    void ** ptrs, const ddsi_sertype *, void * old, std::size_t oldcount, std::size_t count)
{
  auto * fresh =
      static_cast<Sample *>(::operator new(std::max<std::size_t>(count, 1) * sizeof(Sample)));
  auto * previous = static_cast<Sample *>(old);
  for (std::size_t i = 0; i < count; i++) {
    if (i < oldcount) {
      new (&fresh[i]) Sample(std::move(previous[i]));
    } else {
      new (&fresh[i]) Sample();
    }
  }
  for (std::size_t i = 0; i < oldcount; i++) {
    previous[i].~Sample();
  }
  ::operator delete(old);
  if (ptrs != nullptr) {
    for (std::size_t i = 0; i < count; i++) {
      ptrs[i] = &fresh[i];
    }
  }
}

void sertype_free_samples(const ddsi_sertype *, void ** ptrs, std::size_t count, dds_free_op_t op)
{
  if (count == 0 || ptrs == nullptr || ptrs[0] == nullptr) {
    return;
  }
  if (op & DDS_FREE_ALL_BIT) {
    auto * array = static_cast<Sample *>(ptrs[0]);
    for (std::size_t i = 0; i < count; i++) {
      array[i].~Sample();
    }
    ::operator delete(ptrs[0]);
  } else if (op & DDS_FREE_CONTENTS_BIT) {
    for (std::size_t i = 0; i < count; i++) {
      Sample().swap(*static_cast<Sample *>(ptrs[i]));
    }
  }
}

// All raw sertypes with the same type name are interchangeable.
bool sertype_equal(const ddsi_sertype *, const ddsi_sertype *) { return true; }
std::uint32_t sertype_hash(const ddsi_sertype *) { return 0; }

std::size_t sertype_get_serialized_size(const ddsi_sertype *, const void * sample)
{
  return static_cast<const BytePiece *>(sample)->size;
}

bool sertype_serialize_into(
    const ddsi_sertype *, const void * sample, void * dst, std::size_t dst_size)
{
  const auto * piece = static_cast<const BytePiece *>(sample);
  if (piece->size > dst_size) {
    return false;
  }
  std::memcpy(dst, piece->data, piece->size);
  return true;
}

const ddsi_sertype_ops kSertypeOps = [] {
  ddsi_sertype_ops ops{};
  ops.version = ddsi_sertype_v0;
  ops.arg = nullptr;
  ops.free = sertype_free;
  ops.zero_samples = sertype_zero_samples;
  ops.realloc_samples = sertype_realloc_samples;
  ops.free_samples = sertype_free_samples;
  ops.equal = sertype_equal;
  ops.hash = sertype_hash;
  // No type information: matching is by type name, as with ROS 2 Humble.
  ops.type_id = nullptr;
  ops.type_map = nullptr;
  ops.type_info = nullptr;
  ops.derive_sertype = nullptr;
  ops.get_serialized_size = sertype_get_serialized_size;
  ops.serialize_into = sertype_serialize_into;
  return ops;
}();

}  // namespace

ddsi_sertype * create_raw_sertype(const std::string & type_name)
{
  auto * type = new ddsi_sertype{};
  ddsi_sertype_init_flags(
      type, type_name.c_str(), &kSertypeOps, &kSerdataOps, DDSI_SERTYPE_FLAG_TOPICKIND_NO_KEY);
  // ROS 2 samples are plain CDR (XCDR1) only.
  type->allowed_data_representation = DDS_DATA_REPRESENTATION_FLAG_XCDR1;
  return type;
}

ddsi_serdata * make_raw_serdata(
    const ddsi_sertype * type, const BytePiece * pieces, std::size_t count)
{
  std::size_t total = 0;
  for (std::size_t i = 0; i < count; i++) {
    total += pieces[i].size;
  }
  const std::size_t padding = align4(total) - total;
  RawSerdata * d = allocate_serdata(type, SDK_DATA, total + padding);
  if (d == nullptr) {
    return nullptr;
  }
  std::uint8_t * cursor = d->bytes();
  for (std::size_t i = 0; i < count; i++) {
    if (pieces[i].size > 0) {
      std::memcpy(cursor, pieces[i].data, pieces[i].size);
      cursor += pieces[i].size;
    }
  }
  std::memset(cursor, 0, padding);
  if (total >= kEncapsulationSize) {
    d->bytes()[3] = static_cast<std::uint8_t>((d->bytes()[3] & ~kPaddingMask) | padding);
  }
  announce_handed_over(d);
  return d;
}

BytePiece raw_sample_bytes(const ddsi_serdata * serdata)
{
  const RawSerdata * d = as_raw(serdata);
  return BytePiece{d->bytes(), logical_size(*d)};
}

void copy_raw_sample(const ddsi_serdata * serdata, std::vector<std::uint8_t> & out)
{
  const BytePiece bytes = raw_sample_bytes(serdata);
  out.assign(bytes.data, bytes.data + bytes.size);
  if (out.size() >= kEncapsulationSize) {
    out[3] = static_cast<std::uint8_t>(out[3] & ~kPaddingMask);
  }
}

#if defined(__SANITIZE_THREAD__)
#define CLIENT_LAYER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define CLIENT_LAYER_TSAN 1
#endif
#endif

#ifdef CLIENT_LAYER_TSAN
extern "C" void __tsan_acquire(void * addr);
extern "C" void __tsan_release(void * addr);

void announce_handed_over(const ddsi_serdata * serdata)
{
  __tsan_release(const_cast<ddsi_serdata *>(serdata));
}

void announce_taken(const ddsi_serdata * serdata)
{
  __tsan_acquire(const_cast<ddsi_serdata *>(serdata));
}
#else
void announce_handed_over(const ddsi_serdata *) {}

void announce_taken(const ddsi_serdata *) {}
#endif

}  // namespace client_layer::rmw::detail
