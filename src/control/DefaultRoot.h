// Where a control looks for its languages when the host names no install root.
#pragma once

#include <filesystem>

namespace parlan {

// The languages beside the library: <prefix>/share/parlan/languages of the tree the library (or
// the program it is linked into) was installed in, wherever that tree has been moved since.
// The library in its build folder reads the source tree's languages/ folder.
std::filesystem::path DefaultInstallRoot();

}  // namespace parlan
