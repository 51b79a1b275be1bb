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

// A std::vector that never holds more than UpperBound elements: the C++ type
// of a bounded sequence field (`int32[<=5] values`). Every operation that
// would grow it past the bound throws std::length_error and leaves it as it was.
#ifndef ROSIDL_RUNTIME_CPP__BOUNDED_VECTOR_HPP_
#define ROSIDL_RUNTIME_CPP__BOUNDED_VECTOR_HPP_

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace rosidl_runtime_cpp {

template <typename Tp, std::size_t UpperBound, typename Alloc = std::allocator<Tp>>
class BoundedVector : protected std::vector<Tp, Alloc>
{
  using Base = std::vector<Tp, Alloc>;

public:
  using typename Base::allocator_type;
  using typename Base::const_iterator;
  using typename Base::const_pointer;
  using typename Base::const_reference;
  using typename Base::const_reverse_iterator;
  using typename Base::difference_type;
  using typename Base::iterator;
  using typename Base::pointer;
  using typename Base::reference;
  using typename Base::reverse_iterator;
  using typename Base::size_type;
  using typename Base::value_type;

  BoundedVector() = default;
  explicit BoundedVector(const allocator_type & alloc) noexcept : Base(alloc) {}
  explicit BoundedVector(size_type n, const allocator_type & alloc = allocator_type())
      : Base(checked(n), alloc)
  {
  }
  BoundedVector(
      size_type n, const value_type & value, const allocator_type & alloc = allocator_type())
      : Base(checked(n), value, alloc)
  {
  }
  BoundedVector(
      std::initializer_list<value_type> values, const allocator_type & alloc = allocator_type())
      : Base(values, alloc)
  {
    checked(Base::size());
  }
  template <
      typename InputIterator,
      typename = typename std::iterator_traits<InputIterator>::iterator_category>
  BoundedVector(
      InputIterator first, InputIterator last, const allocator_type & alloc = allocator_type())
      : Base(first, last, alloc)
  {
    checked(Base::size());
  }

  BoundedVector & operator=(std::initializer_list<value_type> values)
  {
    checked(values.size());
    Base::assign(values);
    return *this;
  }

  void assign(size_type n, const value_type & value) { Base::assign(checked(n), value); }
  void assign(std::initializer_list<value_type> values)
  {
    checked(values.size());
    Base::assign(values);
  }
  template <
      typename InputIterator,
      typename = typename std::iterator_traits<InputIterator>::iterator_category>
  void assign(InputIterator first, InputIterator last)
  {
    BoundedVector copy(first, last, get_allocator());
    swap(copy);
  }

  using Base::get_allocator;

  using Base::begin;
  using Base::cbegin;
  using Base::cend;
  using Base::crbegin;
  using Base::crend;
  using Base::end;
  using Base::rbegin;
  using Base::rend;

  using Base::capacity;
  using Base::empty;
  using Base::shrink_to_fit;
  using Base::size;
  size_type max_size() const noexcept { return std::min<size_type>(UpperBound, Base::max_size()); }
  void resize(size_type n) { Base::resize(checked(n)); }
  void resize(size_type n, const value_type & value) { Base::resize(checked(n), value); }
  void reserve(size_type n) { Base::reserve(checked(n)); }

  using Base::at;
  using Base::back;
  using Base::data;
  using Base::front;
  using Base::operator[];

  void push_back(const value_type & value)
  {
    checked(size() + 1);
    Base::push_back(value);
  }
  void push_back(value_type && value)
  {
    checked(size() + 1);
    Base::push_back(std::move(value));
  }
  template <typename... Args>
  reference emplace_back(Args &&... args)
  {
    checked(size() + 1);
    return Base::emplace_back(std::forward<Args>(args)...);
  }
  template <typename... Args>
  iterator emplace(const_iterator position, Args &&... args)
  {
    checked(size() + 1);
    return Base::emplace(position, std::forward<Args>(args)...);
  }
  iterator insert(const_iterator position, const value_type & value)
  {
    checked(size() + 1);
    return Base::insert(position, value);
  }
  iterator insert(const_iterator position, value_type && value)
  {
    checked(size() + 1);
    return Base::insert(position, std::move(value));
  }
  iterator insert(const_iterator position, size_type n, const value_type & value)
  {
    checked(size() + n);
    return Base::insert(position, n, value);
  }
  iterator insert(const_iterator position, std::initializer_list<value_type> values)
  {
    checked(size() + values.size());
    return Base::insert(position, values);
  }
  template <
      typename InputIterator,
      typename = typename std::iterator_traits<InputIterator>::iterator_category>
  iterator insert(const_iterator position, InputIterator first, InputIterator last)
  {
    // Counted on a copy so that single-pass iterators work too.
    const std::vector<value_type> values(first, last);
    checked(size() + values.size());
    return Base::insert(position, values.begin(), values.end());
  }
  using Base::clear;
  using Base::erase;
  using Base::pop_back;
  void swap(BoundedVector & other) noexcept { Base::swap(other); }

  friend bool operator==(const BoundedVector & a, const BoundedVector & b)
  {
    return a.base() == b.base();
  }
  friend bool operator!=(const BoundedVector & a, const BoundedVector & b)
  {
    return a.base() != b.base();
  }
  friend bool operator<(const BoundedVector & a, const BoundedVector & b)
  {
    return a.base() < b.base();
  }
  friend bool operator>(const BoundedVector & a, const BoundedVector & b)
  {
    return a.base() > b.base();
  }
  friend bool operator<=(const BoundedVector & a, const BoundedVector & b)
  {
    return a.base() <= b.base();
  }
  friend bool operator>=(const BoundedVector & a, const BoundedVector & b)
  {
    return a.base() >= b.base();
  }

private:
  static size_type checked(size_type n)
  {
    if (n > UpperBound) {
      throw std::length_error("Exceeded upper bound");
    }
    return n;
  }
  const Base & base() const { return *this; }
};

template <typename Tp, std::size_t UpperBound, typename Alloc>
void swap(
    BoundedVector<Tp, UpperBound, Alloc> & a, BoundedVector<Tp, UpperBound, Alloc> & b) noexcept
{
  a.swap(b);
}

}  // namespace rosidl_runtime_cpp

#endif  // ROSIDL_RUNTIME_CPP__BOUNDED_VECTOR_HPP_
