// Where a control looks for its languages when the host names no install root.
#pragma once

#include <filesystem>

namespace parlan {

// The languages beside the library: <prefix>/share/parlan/languages of the tree the library (or
// the program it is linked into) was installed in, wherever that tree has been moved since.
// A library still in its build tree reads the source tree's languages/ folder.
std::filesystem::path DefaultInstallRoot();

}  // namespace parlan
