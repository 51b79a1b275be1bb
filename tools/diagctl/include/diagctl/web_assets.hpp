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

// The dashboard's page, script and style sheet, compiled into the binary from
// web/ (cmake/embed_web_assets.cmake), so that it works offline and installed.
#ifndef DIAGCTL__WEB_ASSETS_HPP_
#define DIAGCTL__WEB_ASSETS_HPP_

#include <string_view>

namespace diagctl {

struct WebAsset
{
  std::string_view path;  // "/index.html", "/app.js", ...
  std::string_view content_type;
  std::string_view body;
};

// The asset served at `path`, or nullptr.
const WebAsset * find_web_asset(std::string_view path);

}  // namespace diagctl

#endif  // DIAGCTL__WEB_ASSETS_HPP_
