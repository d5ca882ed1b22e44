#include "control/DefaultRoot.h"

#include <dlfcn.h>

#include <system_error>

namespace parlan {

namespace {

// The file this code was loaded from: the shared library, or the program it was linked into.
std::filesystem::path OwnFile() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DefaultInstallRoot), &info) == 0 || !info.dli_fname)
    return {};
  std::error_code ec;
  std::filesystem::path file = std::filesystem::canonical(info.dli_fname, ec);
  return ec ? std::filesystem::path(info.dli_fname) : file;
}

}  // namespace

std::filesystem::path DefaultInstallRoot() {
  const std::filesystem::path own = OwnFile();
  if (own.empty()) return PARLAN_SOURCE_LANGUAGES;
  // The library lives in the library folder; a program linking it statically in the program
  // folder. Both are one step apart from the data folder in every GNU layout.
  const std::filesystem::path folder = own.parent_path();
  std::error_code ec;
  for (const char* relative : {PARLAN_LANGUAGES_FROM_LIBDIR, PARLAN_LANGUAGES_FROM_BINDIR}) {
    std::filesystem::path root = (folder / relative).lexically_normal();
    if (std::filesystem::is_directory(root, ec)) return root;
  }
  // Only the library where it was built reads the source tree: an installed copy that lost its
  // languages must say so rather than quietly use a tree it does not belong to.
  if (std::filesystem::equivalent(folder, PARLAN_BUILD_LIBRARY_DIR, ec))
    return PARLAN_SOURCE_LANGUAGES;
  return (folder / PARLAN_LANGUAGES_FROM_LIBDIR).lexically_normal();
}

}  // namespace parlan
