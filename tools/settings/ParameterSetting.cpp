#include "ParameterSetting.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

} // namespace

bool ParseParameterSetting(const std::string& text, ParameterSetting& setting, std::string& error) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) {
    error = "--set expects NAME=VALUE, got \"" + text + "\"";
    return false;
  }
  setting = {text.substr(0, eq), text.substr(eq + 1)};
  return true;
}

bool ParseDecimal(const std::string& text, double& value) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  if (begin == end) return false;
  const std::string trimmed = text.substr(begin, end - begin);
  // Plain decimal numbers only: strtod would also take hex, "inf" and "nan".
  for (char c : trimmed) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  }
  // The tools never change the C locale, so strtod reads '.' as the point.
  char* stop = nullptr;
  errno = 0;
  const double v = std::strtod(trimmed.c_str(), &stop);
  if (stop != trimmed.c_str() + trimmed.size() || errno == ERANGE || !std::isfinite(v))
    return false;
  value = v;
  return true;
}

int FindParameterIndex(const std::string& key, int count,
                       const std::function<std::string(int)>& nameAt) {
  if (IsDigits(key)) {
    if (key.size() > 6) return -1;
    const int index = std::stoi(key);
    return index < count ? index : -1;
  }
  for (int i = 0; i < count; ++i)
    if (nameAt(i) == key) return i;
  for (int i = 0; i < count; ++i)
    if (EqualsIgnoringCase(key, nameAt(i))) return i;
  return -1;
}
