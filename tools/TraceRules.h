// What `parlan trace` adds to the debug boxes: where in the language's files each rule that
// fired stands, so that a developer goes straight to the line to change.
#pragma once

#include <string>

#include "parlan/Parlana.h"

namespace parlan::cli {

// After a native Speak with the debug boxes filled: one line for each abbreviation or
// whole-phrase replacement, dictionary entry and letter rule that fired, in that order and each
// in the order it fired, as "file:line: the line"; under a heading; empty when nothing fired.
std::string FiredRulesSection(Parlana& control);

}  // namespace parlan::cli
