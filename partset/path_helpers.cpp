#include "partset/path_helpers.h"

#include <algorithm>
#include <array>

#include "partset/case_folding.h"

namespace parcelo {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Code points above U+FFFF take two UTF-16 units, the rest one: a UTF-8
// lead byte F0..F7 counts twice, continuation bytes not at all.
std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9 name devices in every
// folder, also with an extension ("nul.txt") and in any letter case; so do
// COM and LPT with a superscript digit one to three (U+00B9, U+00B2, U+00B3).
bool IsWindowsDeviceName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  std::transform(stem.begin(), stem.end(), stem.begin(), FoldAsciiCase);
  static constexpr std::array<std::string_view, 4> kDevices = {"con", "prn", "aux", "nul"};
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
  if (stem.size() < 4 || (stem.compare(0, 3, "com") != 0 && stem.compare(0, 3, "lpt") != 0)) {
    return false;
  }
  const std::string_view digit = std::string_view(stem).substr(3);
  return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\u00B9" ||
         digit == "\u00B2" || digit == "\u00B3";
}

bool IsPlainWindowsName(std::string_view name) {
  if (Utf16Length(name) > kMaxFileNameBytes) return false;
  if (name.find_first_of(R"(<>:"|?*\)") != std::string_view::npos) return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsWindowsDeviceName(name);
}

}  // namespace

std::size_t LastSeparator(std::string_view path, PathStyle style) {
  return style == PathStyle::Windows ? path.find_last_of("\\/") : path.rfind('/');
}

bool IsSeparator(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::Windows && c == '\\');
}

std::size_t RootLength(std::string_view path, PathStyle style) {
  if (style == PathStyle::Windows && path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    return path.size() > 2 && IsSeparator(path[2], style) ? 3 : 2;
  }
  if (path.empty() || !IsSeparator(path[0], style)) return 0;
  if (style == PathStyle::Windows && path.size() > 2 && IsSeparator(path[1], style)) {
    // \\server\share\ : the root runs to the separator after the share.
    std::size_t at = 2;
    for (int component = 0; component < 2 && at < path.size(); ++component) {
      while (at < path.size() && !IsSeparator(path[at], style)) ++at;
      if (at < path.size()) ++at;
    }
    return at;
  }
  return 1;
}

std::string FileNameOf(std::string_view path, PathStyle style) {
  const std::size_t at = LastSeparator(path, style);
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(at + 1));
}

std::string FolderOf(std::string_view path, PathStyle style) {
  const std::size_t at = LastSeparator(path, style);
  if (at == std::string_view::npos) return {};
  if (style == PathStyle::Windows && at + 1 == RootLength(path, style) && at == 2) {
    return std::string(path.substr(0, at + 1));
  }
  return std::string(path.substr(0, at));
}

bool IsPlainFileName(std::string_view name, PathStyle style) {
  if (name.empty() || name == "." || name == "..") return false;
  if (style == PathStyle::Posix && name.size() > kMaxFileNameBytes) return false;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsSeparator(c, style) || byte < 0x20 || byte == 0x7f) return false;
  }
  return style == PathStyle::Posix || IsPlainWindowsName(name);
}

}  // namespace parcelo
