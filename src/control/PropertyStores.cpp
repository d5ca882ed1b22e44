// The two property stores: values kept in memory, and a text file of "Name=Value" lines (the
// format is described with FilePropertyStore).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <string_view>
#include <system_error>

#include "parlan/PropertyStore.h"
#include "strings/Unicode.h"

namespace parlan {

// ----- MemoryPropertyStore -----

Variant MemoryPropertyStore::ReadProperty(const std::u16string& name, const Variant& defaultValue) {
  auto it = values_.find(name);
  return it == values_.end() ? defaultValue : it->second;
}

void MemoryPropertyStore::WriteProperty(const std::u16string& name, const Variant& value,
                                        const Variant&) {
  values_[name] = value;
}

namespace {

// ----- Text of values -----

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsControl(char16_t c) {
  return c < 0x20 || c == 0x7F;
}

// True when text[i] is a surrogate without its partner.
bool IsLoneSurrogate(std::u16string_view text, size_t i) {
  char16_t c = text[i];
  if (c >= 0xD800 && c <= 0xDBFF)
    return i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF;
  if (c >= 0xDC00 && c <= 0xDFFF) return i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF;
  return false;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

size_t SkipDigits(std::string_view s, size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

// A whole number: an optional sign and digits.
bool IsWholeNumber(std::string_view s) {
  size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
  return i < s.size() && SkipDigits(s, i) == s.size();
}

// A decimal number with a fraction or an exponent: 1.5, -.5, 3., 2e+20.
bool IsDecimalNumber(std::string_view s) {
  size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
  size_t start = i;
  i = SkipDigits(s, i);
  size_t mantissa = i - start;
  bool marked = false;
  if (i < s.size() && s[i] == '.') {
    size_t afterPoint = SkipDigits(s, i + 1);
    mantissa += afterPoint - (i + 1);
    i = afterPoint;
    marked = true;
  }
  if (mantissa == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t end = SkipDigits(s, j);
    if (end == j) return false;
    i = end;
    marked = true;
  }
  return marked && i == s.size();
}

bool ParseDouble(std::string_view s, double& out) {
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

// The number a numeric text stands for; false when the text is no number of the format.
bool ParseNumber(std::string_view s, Variant& out) {
  double d = 0;
  if (s == "nan" || s == "inf" || s == "-inf") {
    out =
        Variant(s == "nan" ? std::numeric_limits<double>::quiet_NaN()
                           : (s[0] == '-' ? -1.0 : 1.0) * std::numeric_limits<double>::infinity());
    return true;
  }
  bool longMark = !s.empty() && s.back() == '&';
  if (longMark) s.remove_suffix(1);
  if (IsWholeNumber(s)) {
    std::string_view digits = s[0] == '+' ? s.substr(1) : s;
    int64_t n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    bool fits = ec == std::errc() && end == digits.data() + digits.size();
    if (fits && !longMark && n >= INT16_MIN && n <= INT16_MAX) {
      out = Variant(static_cast<int16_t>(n));
    } else if (fits && n >= INT32_MIN && n <= INT32_MAX) {
      out = Variant(static_cast<int32_t>(n));
    } else {
      if (longMark || !ParseDouble(s, d)) return false;
      out = Variant(d);
    }
    return true;
  }
  if (longMark || !IsDecimalNumber(s) || !ParseDouble(s, d)) return false;
  out = Variant(d);
  return true;
}

// The value an unquoted text stands for.
Variant ParseBareValue(std::u16string_view text) {
  if (text.empty()) return Variant();
  if (EqualsIgnoreCase(text, u"True")) return Variant(true);
  if (EqualsIgnoreCase(text, u"False")) return Variant(false);
  if (text.size() <= 64) {
    std::string ascii;
    for (char16_t c : text) {
      if (c > 0x7F) return Variant(std::u16string(text));
      ascii.push_back(static_cast<char>(c));
    }
    Variant number;
    if (ParseNumber(ascii, number)) return number;
  }
  return Variant(std::u16string(text));
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads "\uXXXX" after the backslash at text[pos - 1]; pos is on the "u".
bool ReadHexEscape(std::u16string_view text, size_t& pos, std::u16string& out) {
  if (text.size() < pos + 5) return false;
  unsigned value = 0;
  for (size_t k = 1; k <= 4; ++k) {
    int h = HexValue(text[pos + k]);
    if (h < 0) return false;
    value = value * 16 + static_cast<unsigned>(h);
  }
  out.push_back(static_cast<char16_t>(value));
  pos += 5;
  return true;
}

bool ReadEscape(std::u16string_view text, size_t& pos, std::u16string& out) {
  if (pos >= text.size()) return false;
  char16_t c = text[pos];
  if (c == u'u') return ReadHexEscape(text, pos, out);
  switch (c) {
    case u'"':
      out.push_back(u'"');
      break;
    case u'\\':
      out.push_back(u'\\');
      break;
    case u'n':
      out.push_back(u'\n');
      break;
    case u'r':
      out.push_back(u'\r');
      break;
    case u't':
      out.push_back(u'\t');
      break;
    default:
      return false;
  }
  ++pos;
  return true;
}

// Reads a quoted text starting at the quote at text[pos]; pos ends after the closing quote.
bool ReadQuoted(std::u16string_view text, size_t& pos, std::u16string& out) {
  out.clear();
  ++pos;
  while (pos < text.size()) {
    char16_t c = text[pos++];
    if (c == u'"') return true;
    if (c != u'\\') {
      out.push_back(c);
    } else if (!ReadEscape(text, pos, out)) {
      return false;
    }
  }
  return false;  // no closing quote: the line was cut short
}

std::u16string Quote(std::u16string_view text) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out = u"\"";
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'"' || c == u'\\') {
      out += {u'\\', c};
    } else if (c == u'\n' || c == u'\r' || c == u'\t') {
      out += {u'\\', c == u'\n' ? u'n' : (c == u'\r' ? u'r' : u't')};
    } else if (IsControl(c) || IsLoneSurrogate(text, i)) {
      out += {u'\\',       u'u', kHex[(c >> 12) & 15], kHex[(c >> 8) & 15], kHex[(c >> 4) & 15],
              kHex[c & 15]};
    } else {
      out.push_back(c);
    }
  }
  return out + u"\"";
}

// True when the text can be written as it is: no blanks at either end, no opening quote, no
// control characters and no lone surrogates. Nor a leading U+FEFF: at the start of the file it
// would read back as the byte-order mark and be dropped.
bool IsPlainText(std::u16string_view text) {
  if (text.empty() || IsBlank(text.front()) || IsBlank(text.back()) || text.front() == u'"' ||
      text.front() == u'\uFEFF')
    return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (IsControl(text[i]) || IsLoneSurrogate(text, i)) return false;
  return true;
}

std::u16string EncodeName(const std::u16string& name) {
  bool plain = IsPlainText(name) && name.find(u'=') == std::u16string::npos;
  return plain ? name : Quote(name);
}

std::u16string EncodeDouble(double d) {
  if (std::isnan(d)) return u"nan";
  if (std::isinf(d)) return d < 0 ? u"-inf" : u"inf";
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  // A whole value gets a fraction so that it reads back as a Double.
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return std::u16string(text.begin(), text.end());
}

std::u16string EncodeNumber(int64_t n) {
  std::string text = std::to_string(n);
  return std::u16string(text.begin(), text.end());
}

std::u16string EncodeValue(const Variant& value) {
  switch (value.type()) {
    case Variant::Type::Empty:
      return u"";
    case Variant::Type::Boolean:
      return value.AsBool() ? u"True" : u"False";
    case Variant::Type::Integer:
      return EncodeNumber(value.AsInteger());
    case Variant::Type::Long: {
      int32_t n = value.AsLong();
      return EncodeNumber(n) + (n >= INT16_MIN && n <= INT16_MAX ? u"&" : u"");
    }
    case Variant::Type::Double:
      return EncodeDouble(value.AsDouble());
    case Variant::Type::String: {
      const std::u16string& text = value.AsString();
      bool plain = IsPlainText(text) && ParseBareValue(text) == value;
      return plain ? text : Quote(text);
    }
  }
  return u"";
}

// ----- Lines -----

// Reads the value part of a line (after "="); false when it is damaged.
bool ParseValuePart(std::u16string_view text, Variant& value) {
  text = Trim(text);
  if (text.empty() || text.front() != u'"') {
    value = ParseBareValue(text);
    return true;
  }
  size_t pos = 0;
  std::u16string quoted;
  if (!ReadQuoted(text, pos, quoted) || pos != text.size()) return false;
  value = Variant(std::move(quoted));
  return true;
}

bool ParseLine(std::u16string_view line, std::u16string& name, Variant& value) {
  for (char16_t c : line)
    if (c != u'\t' && IsControl(c)) return false;
  std::u16string_view rest = Trim(line);
  size_t equals = 0;
  if (!rest.empty() && rest.front() == u'"') {
    if (!ReadQuoted(rest, equals, name)) return false;
    while (equals < rest.size() && IsBlank(rest[equals])) ++equals;
    if (equals >= rest.size() || rest[equals] != u'=') return false;
  } else {
    equals = rest.find(u'=');
    if (equals == std::u16string_view::npos) return false;
    name = std::u16string(Trim(rest.substr(0, equals)));
    if (name.empty()) return false;
  }
  return ParseValuePart(rest.substr(equals + 1), value);
}

// The whole file; `missing` when there is no file at all.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, bool& missing) {
  std::error_code ec;
  auto status = std::filesystem::status(path, ec);
  missing = status.type() == std::filesystem::file_type::not_found;
  if (missing) return true;
  if (ec || status.type() != std::filesystem::file_type::regular) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A number saved under another numeric type than the default's, converted when exact.
Variant InDefaultType(const Variant& value, const Variant& defaultValue) {
  using T = Variant::Type;
  T from = value.type();
  T to = defaultValue.type();
  bool numbers = (from == T::Integer || from == T::Long || from == T::Double) &&
                 (to == T::Integer || to == T::Long || to == T::Double);
  int64_t n = 0;
  if (!numbers || from == to || !value.ToInt64(n)) return value;
  if (to == T::Integer && n >= INT16_MIN && n <= INT16_MAX) return Variant(static_cast<int16_t>(n));
  if (to == T::Long && n >= INT32_MIN && n <= INT32_MAX) return Variant(static_cast<int32_t>(n));
  if (to == T::Double) return Variant(static_cast<double>(n));
  return value;
}

// ----- Writing the file -----

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes the bytes to a fresh temporary file beside `path` and renames it over `path`. On any
// failure the temporary file is removed and `path` is left as it was.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
  std::string temp = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old {};
  mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(path.parent_path());
  return true;
}

}  // namespace

// ----- FilePropertyStore -----

bool FilePropertyStore::Load() {
  try {
    std::string bytes;
    bool missing = false;
    if (!ReadWholeFile(path_, bytes, missing)) return false;
    std::string_view rest(bytes);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    MemoryPropertyStore values;
    std::vector<std::u16string> order;
    while (!rest.empty()) {
      size_t end = rest.find('\n');
      std::string_view raw = rest.substr(0, end);
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
      if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
      std::u16string line;
      std::u16string name;
      Variant value;
      if (!Utf8ToUtf16(raw, line) || !ParseLine(line, name, value)) continue;
      if (values.Values().count(name) == 0) order.push_back(name);
      values.Set(name, std::move(value));
    }
    values_ = std::move(values);
    order_ = std::move(order);
    return true;
  } catch (...) {
    return false;
  }
}

bool FilePropertyStore::Save() const {
  try {
    std::u16string text;
    for (const std::u16string& name : order_) {
      auto it = values_.Values().find(name);
      if (it == values_.Values().end()) continue;
      text += EncodeName(name) + u"=" + EncodeValue(it->second) + u"\n";
    }
    return ReplaceFile(path_, ToUtf8(text));
  } catch (...) {
    return false;
  }
}

Variant FilePropertyStore::ReadProperty(const std::u16string& name, const Variant& defaultValue) {
  auto it = values_.Values().find(name);
  if (it == values_.Values().end()) return defaultValue;
  return InDefaultType(it->second, defaultValue);
}

void FilePropertyStore::WriteProperty(const std::u16string& name, const Variant& value,
                                      const Variant& defaultValue) {
  if (values_.Values().count(name) == 0) order_.push_back(name);
  values_.WriteProperty(name, value, defaultValue);
}

}  // namespace parlan
