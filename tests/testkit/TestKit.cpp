#include "testkit/TestKit.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::testkit {

TempDir::TempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("parlan-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteUtf16Lines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                     bool withBom) {
  std::u16string text;
  for (const auto& line : lines) text += U16(line) + u"\r\n";
  WriteBytes(file, EncodeUtf16Le(text, withBom));
}

std::filesystem::path WriteLanguage(const std::filesystem::path& root, const std::string& language,
                                    const LanguageFiles& files) {
  auto folder = root / ("Parlan " + language);
  std::filesystem::create_directories(folder);
  if (!files.Config.empty()) {
    std::string config;
    for (const auto& line : files.Config) config += line + "\n";
    WriteBytes(folder / (language + "c.ttg"), config);
  }
  if (!files.Normalisation.empty())
    WriteUtf16Lines(folder / (language + "n.ttg"), files.Normalisation);
  if (!files.Exceptions.empty()) WriteUtf16Lines(folder / (language + "e.ttg"), files.Exceptions);
  if (!files.Rules.empty()) WriteUtf16Lines(folder / (language + "r.ttg"), files.Rules);
  return folder;
}

}  // namespace parlan::testkit
