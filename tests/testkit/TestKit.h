// Helpers shared by the tests: temporary folders, language files written by the test.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace parlan::testkit {

// A fresh temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes lines (given as UTF-8) as a UTF-16 little-endian file with CR LF line ends.
void WriteUtf16Lines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                     bool withBom = false);

// Writes bytes exactly as given.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

std::string ReadBytes(const std::filesystem::path& file);

// Lays out "Parlan <language>" under root with the four files. An empty vector leaves that
// file out. The configuration lines are written as UTF-8 with LF line ends.
struct LanguageFiles {
  std::vector<std::string> Config;
  std::vector<std::string> Normalisation;
  std::vector<std::string> Exceptions;
  std::vector<std::string> Rules;
};
std::filesystem::path WriteLanguage(const std::filesystem::path& root, const std::string& language,
                                    const LanguageFiles& files);

}  // namespace parlan::testkit
