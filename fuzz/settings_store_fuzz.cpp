// The settings-file store. Beyond not failing, whatever it loads must survive a save and a
// load unchanged: a difference is a fault, and aborts.
#include <cmath>
#include <cstdlib>

#include "FuzzFile.h"
#include "parlan/PropertyStore.h"

namespace {

bool Same(const parlan::Variant& a, const parlan::Variant& b) {
  using T = parlan::Variant::Type;
  if (a.type() == T::Double && b.type() == T::Double) {
    const double x = a.AsDouble();
    const double y = b.AsDouble();
    return (std::isnan(x) && std::isnan(y)) || (x == y && std::signbit(x) == std::signbit(y));
  }
  return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = parlan::fuzz::ScratchFolder();
  const std::filesystem::path file = folder / "settings.txt";
  const std::filesystem::path copy = folder / "saved.txt";
  parlan::fuzz::WriteInput(file, data, size);
  parlan::FilePropertyStore store(file);
  if (!store.Load()) return 0;
  parlan::FilePropertyStore saved(copy);
  for (const auto& [name, value] : store.Values()) saved.WriteProperty(name, value, {});
  if (!saved.Save()) std::abort();
  parlan::FilePropertyStore again(copy);
  if (!again.Load() || again.Values().size() != store.Values().size()) std::abort();
  for (const auto& [name, value] : store.Values()) {
    auto it = again.Values().find(name);
    if (it == again.Values().end() || !Same(it->second, value)) std::abort();
  }
  return 0;
}
