// A small valid language ("Tiny", the one the tool's tests use) written once into a scratch
// install root, for the targets that run a whole control.
#pragma once

#include <memory>

#include "FuzzFile.h"
#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"
#include "tools/TinyLanguage.h"

namespace parlan::fuzz {

inline void WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                       bool utf16) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + (utf16 ? "\r\n" : "\n");
  std::u16string text;
  if (utf16 && Utf8ToUtf16(bytes, text)) bytes = EncodeUtf16Le(text);
  WriteInput(file, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

inline const std::filesystem::path& TinyRoot() {
  static const std::filesystem::path root = [] {
    const std::filesystem::path r = ScratchFolder() / "root";
    const std::filesystem::path folder = r / "Parlan Tiny";
    std::filesystem::create_directories(folder);
    const testkit::LanguageFiles files = testkit::TinyLanguage();
    WriteLines(folder / "Tinyc.ttg", files.Config, false);
    WriteLines(folder / "Tinyn.ttg", files.Normalisation, true);
    WriteLines(folder / "Tinye.ttg", files.Exceptions, true);
    WriteLines(folder / "Tinyr.ttg", files.Rules, true);
    return r;
  }();
  return root;
}

// A fresh control on the tiny root with recording engines, in fresh module state, so that one
// input cannot change what the next one finds.
inline std::unique_ptr<Parlana> FreshControl() {
  ResetThreadState();
  ParlanaSettings settings;
  settings.InstallRoot = TinyRoot();
  settings.Engines = std::make_shared<engines::RecordingEngineFactory>();
  return std::make_unique<Parlana>(settings);
}

}  // namespace parlan::fuzz
