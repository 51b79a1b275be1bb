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
