// The host's store of saved settings: named values with defaults.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "parlan/Variant.h"

namespace parlan {

class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  // The saved value, or `defaultValue` when nothing is saved under that name.
  virtual Variant ReadProperty(const std::u16string& name, const Variant& defaultValue) = 0;
  // Saves a value; a store may leave out values equal to their default.
  virtual void WriteProperty(const std::u16string& name, const Variant& value,
                             const Variant& defaultValue) = 0;
};

// Keeps the values in memory, in the order they were first written.
class MemoryPropertyStore : public PropertyStore {
 public:
  Variant ReadProperty(const std::u16string& name, const Variant& defaultValue) override;
  void WriteProperty(const std::u16string& name, const Variant& value,
                     const Variant& defaultValue) override;
  const std::map<std::u16string, Variant>& Values() const { return values_; }
  void Set(const std::u16string& name, Variant value) { values_[name] = std::move(value); }

 private:
  std::map<std::u16string, Variant> values_;
};

// A UTF-8 text file of "Name=Value" lines, one setting a line, in the order the settings were
// first written. Values are typed by their text:
//   True, False (any case)              Boolean
//   a whole number (-5, 70000)          Integer when it fits 16 bits, else Long (else Double)
//   a whole number followed by "&"      Long (how a Long that fits 16 bits is written: 5&)
//   any other number (1.5, 3.0, 2e+20)  Double; also nan, inf and -inf
//   nothing                             Empty
//   "text in double quotes"             String, with the escapes \" \\ \n \r \t and \uXXXX
//   anything else                       String, exactly as written
// Blanks and tabs around names and values are ignored. Save() quotes a string that would read
// back as something else, has blanks at either end, or holds line breaks, other control
// characters or unpaired surrogates; a name likewise, or when it holds "=". Load() reads what it
// can and skips damaged lines (no "=", broken quoting, bytes that are not UTF-8, control
// characters); a name given twice keeps its last value. Save() writes a temporary file in the
// same folder and renames it over the file, so a crash never leaves it half written.
// ReadProperty gives a saved number in the type of the default when it converts exactly, so a
// hand-written "CurrentMode=5" reads as Long 5 against a Long default.
class FilePropertyStore : public PropertyStore {
 public:
  explicit FilePropertyStore(std::filesystem::path path) : path_(std::move(path)) {}

  // False when the file exists but cannot be read; a missing file is an empty store.
  bool Load();
  // False when the file cannot be written; the old file is then left as it was.
  bool Save() const;

  Variant ReadProperty(const std::u16string& name, const Variant& defaultValue) override;
  void WriteProperty(const std::u16string& name, const Variant& value,
                     const Variant& defaultValue) override;
  const std::filesystem::path& Path() const { return path_; }
  // Every name held, with its value as saved or loaded.
  const std::map<std::u16string, Variant>& Values() const { return values_.Values(); }

 private:
  std::filesystem::path path_;
  MemoryPropertyStore values_;
  std::vector<std::u16string> order_;
};

}  // namespace parlan
