// The host's store of saved settings: named values with defaults.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

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

// A UTF-8 text file of "Name=Value" lines. Values are typed by their text: True/False, whole
// numbers (Integer when they fit 16 bits, else Long), other numbers as Double, anything else as
// a String. Load() reads what it can and skips damaged lines; Save() replaces the file
// atomically so that a crash never leaves it half written.
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

 private:
  std::filesystem::path path_;
  MemoryPropertyStore values_;
  std::vector<std::u16string> order_;
};

}  // namespace parlan
