// `parlan learn`: letter rules learned from a pronunciation lexicon, written as a rule file and
// measured on the lexicon's held-out words.
#pragma once

#include <iosfwd>
#include <string>

namespace parlan::learn {

struct LearnOptions {
  std::string Lexicon;  // word<TAB>phonemes lines; "-" for standard input
  std::string Output;   // the rule file to write
  std::string Language = "English";
  std::string Dictionary;  // an exception file: its held-out words are reported apart
  std::string Keep;        // a rule file whose classes and unlearned groups are kept
  size_t MinGain = 2;
  double ClassBonus = 2;  // see InduceOptions
  std::string Mistakes;   // a file for the held-out words outside the dictionary it gets wrong
  std::string Shapes;     // window shapes "left:right,..." narrow to wide; empty for the default
};

// Exit status 0, or 1 with a one-line reason on `err`.
int RunLearn(const LearnOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace parlan::learn
