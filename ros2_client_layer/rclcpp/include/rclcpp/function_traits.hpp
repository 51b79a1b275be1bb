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

// Argument and return types of callables: functions, function pointers,
// lambdas and other functors, std::function, and std::bind expressions of
// member functions (whose placeholders are taken to be in order, as rclcpp does).
#ifndef RCLCPP__FUNCTION_TRAITS_HPP_
#define RCLCPP__FUNCTION_TRAITS_HPP_

#include <cstddef>
#include <functional>
#include <tuple>
#include <type_traits>

namespace rclcpp {
namespace function_traits {

template <typename FunctionT>
struct function_traits : function_traits<decltype(&std::decay_t<FunctionT>::operator())>
{
};

template <typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT(Args...)>
{
  using arguments = std::tuple<Args...>;
  static constexpr std::size_t arity = sizeof...(Args);
  template <std::size_t N>
  using argument_type = typename std::tuple_element<N, arguments>::type;
  using return_type = ReturnTypeT;
};

template <typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT (*)(Args...)> : function_traits<ReturnTypeT(Args...)>
{
};

template <typename ClassT, typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT (ClassT::*)(Args...)> : function_traits<ReturnTypeT(Args...)>
{
};

template <typename ClassT, typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT (ClassT::*)(Args...) const>
    : function_traits<ReturnTypeT(Args...)>
{
};

#if defined _GLIBCXX_RELEASE
// std::bind of a member function.
template <typename ClassT, typename ReturnTypeT, typename... Args, typename... FArgs>
struct function_traits<std::_Bind<ReturnTypeT (ClassT::*(FArgs...))(Args...)>>
    : function_traits<ReturnTypeT(Args...)>
{
};

template <typename ClassT, typename ReturnTypeT, typename... Args, typename... FArgs>
struct function_traits<std::_Bind<ReturnTypeT (ClassT::*(FArgs...))(Args...) const>>
    : function_traits<ReturnTypeT(Args...)>
{
};

// std::bind of a free function.
template <typename ReturnTypeT, typename... Args, typename... FArgs>
struct function_traits<std::_Bind<ReturnTypeT (*(FArgs...))(Args...)>>
    : function_traits<ReturnTypeT(Args...)>
{
};
#endif

template <typename FunctionT>
struct function_traits<FunctionT &> : function_traits<FunctionT>
{
};

template <typename FunctionT>
struct function_traits<FunctionT &&> : function_traits<FunctionT>
{
};

template <typename FunctionT>
struct function_traits<const FunctionT> : function_traits<FunctionT>
{
};

/// True when the callable takes exactly `Arity` arguments.
template <std::size_t Arity, typename FunctorT>
struct arity_comparator : std::integral_constant<bool, (Arity == function_traits<FunctorT>::arity)>
{
};

/// True when both callables take the same argument types.
template <typename FunctorAT, typename FunctorBT>
struct same_arguments : std::is_same<
                            typename function_traits<FunctorAT>::arguments,
                            typename function_traits<FunctorBT>::arguments>
{
};

}  // namespace function_traits
}  // namespace rclcpp

#endif  // RCLCPP__FUNCTION_TRAITS_HPP_
