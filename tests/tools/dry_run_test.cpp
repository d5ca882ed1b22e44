// `parlan phonemes` and `parlan trace`: a native Speak without audio. What the tool prints must
// be what a control on the same install root hands its engines and shows in its debug boxes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TinyLanguage.h"
#include "ToolRunner.h"
#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "strings/Unicode.h"

namespace parlan::testkit {
namespace {

const std::string kText = "The cat sat on the mat, 42 times. Dr Chase & one ox!";

// A control with recording engines speaks the text in mode `mode`.
struct InProcess {
  InProcess(const std::filesystem::path& root, int32_t mode, const std::string& text) {
    ResetThreadState();
    control = std::make_unique<Parlana>(ParlanaSettings{root, engines});
    control->SetCurrentMode(mode);
    std::u16string t = U16(text);
    control->Speak(t);
  }
  ~InProcess() {
    control.reset();
    ResetThreadState();
  }
  std::vector<std::string> PhonemeCalls() const {
    std::vector<std::string> out;
    for (const auto& call : engines->ParlanSapi->CallsTo(engines::ss::kSpeak))
      out.push_back(ToUtf8(call.Args.at(2).AsString()));
    return out;
  }
  std::vector<std::string> PronSymbols() const {
    std::vector<std::string> out;
    for (const auto& [text, flags] : engines->Sapi5->Spoken()) {
      std::string t = ToUtf8(text);
      if (t.starts_with("<pron sym=\"")) out.push_back(t.substr(11, t.size() - 11 - 3));
    }
    return out;
  }
  std::shared_ptr<engines::RecordingEngineFactory> engines =
      std::make_shared<engines::RecordingEngineFactory>();
  std::unique_ptr<Parlana> control;
};

std::filesystem::path DemoRoot() {
  return std::filesystem::path(PARLAN_TEST_DATA) / "root";
}

class DryRun : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteLanguage(root.Path(), "Tiny", TinyLanguage());
    LanguageFiles voice = TinyLanguage();
    voice.Config = {"GENDER=Male", "SAPINO=5", "MALE=English (America)", "SPACE=1"};
    WriteLanguage(voice_root.Path(), "Voiced", voice);
  }
  TempDir root;
  TempDir voice_root;
};

TEST_F(DryRun, PhonemesAreTheStringsTheDirectEngineIsGiven) {
  ToolResult r = RunTool({"phonemes", "--root", root.Path(), "-v", "2", kText});
  ASSERT_EQ(r.Status, 0) << r.Err;
  InProcess expected(root.Path(), 2, kText);
  ASSERT_FALSE(expected.PhonemeCalls().empty());
  EXPECT_EQ(Lines(r.Out), expected.PhonemeCalls());
  for (const std::string& line : Lines(r.Out)) EXPECT_TRUE(line.ends_with("#")) << line;
}

TEST_F(DryRun, PhonemesOfAVoiceLanguageAreThePronunciationSymbols) {
  ToolResult r = RunTool({"phonemes", "--root", voice_root.Path(), kText});
  ASSERT_EQ(r.Status, 0) << r.Err;
  InProcess expected(voice_root.Path(), 1, kText);
  ASSERT_FALSE(expected.PronSymbols().empty());
  EXPECT_EQ(Lines(r.Out), expected.PronSymbols());
}

TEST_F(DryRun, TextFromNameFileAndStandardInputAgree) {
  ToolResult byNumber = RunTool({"phonemes", "--root", root.Path(), "-v", "2", kText});
  ToolResult byName =
      RunTool({"phonemes", "--root", root.Path(), "-v", "tiny female (parlan)", kText});
  WriteBytes(root.Path() / "text.txt", kText + "\n");
  ToolResult fromFile = RunTool(
      {"phonemes", "--root", root.Path(), "-v", "2", "-f", (root.Path() / "text.txt").string()});
  ToolResult fromInput = RunTool({"phonemes", "--root", root.Path(), "-v", "2"}, kText);
  ASSERT_EQ(byNumber.Status, 0) << byNumber.Err;
  EXPECT_EQ(byName.Out, byNumber.Out);
  EXPECT_EQ(fromFile.Out, byNumber.Out);
  EXPECT_EQ(fromInput.Out, byNumber.Out);
}

TEST_F(DryRun, PhonemesOfTheDemonstrationLanguage) {
  if (!std::filesystem::exists(DemoRoot() / "Parlan Demo" / "Demor.ttg"))
    GTEST_SKIP() << "no demonstration rules yet";
  ToolResult r = RunTool({"phonemes", "--root", DemoRoot().string(), kText});
  ASSERT_EQ(r.Status, 0) << r.Err;
  InProcess expected(DemoRoot(), 1, kText);
  EXPECT_EQ(Lines(r.Out), expected.PhonemeCalls());
  EXPECT_EQ(r.Err, "");  // every word converts: no warning
}

TEST_F(DryRun, ConversionErrorIsWarnedAbout) {
  ToolResult r = RunTool({"phonemes", "--root", root.Path(), "caf\xC3\xA9"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Err.starts_with("parlan: warning: Missing Rule")) << r.Err;
}

TEST_F(DryRun, TraceJsonLinesHasOneRecordPerDebugBox) {
  ToolResult r = RunTool({"trace", "--json-lines", "--root", root.Path(), kText});
  ASSERT_EQ(r.Status, 0) << r.Err;
  InProcess expected(root.Path(), 1, kText);
  const std::vector<DebugBox> boxes = expected.control->DebugBoxes();
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), boxes.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    auto record = nlohmann::json::parse(lines[i]);
    EXPECT_EQ(record["window"], boxes[i].Window);
    EXPECT_EQ(record["control"], boxes[i].Control);
    EXPECT_EQ(record["frame"], ToUtf8(boxes[i].FrameCaption));
    EXPECT_EQ(record["text"], ToUtf8(boxes[i].Text));
    if (boxes[i].Control == "rtbTextIn") {
      EXPECT_NE(std::string(record["text"]).find("The cat sat"), std::string::npos);
    }
  }
}

TEST_F(DryRun, TraceJsonIsOneDocumentOfTheSameRecords) {
  ToolResult document = RunTool({"trace", "--json", "--root", root.Path(), kText});
  ToolResult lines = RunTool({"trace", "--json-lines", "--root", root.Path(), kText});
  ASSERT_EQ(document.Status, 0) << document.Err;
  const nlohmann::json parsed = nlohmann::json::parse(document.Out);  // throws on JSON Lines
  ASSERT_TRUE(parsed["boxes"].is_array());
  const auto records = Lines(lines.Out);
  ASSERT_EQ(parsed["boxes"].size(), records.size());
  ASSERT_FALSE(records.empty());
  for (size_t i = 0; i < records.size(); ++i)
    EXPECT_EQ(parsed["boxes"][i], nlohmann::json::parse(records[i])) << i;
}

TEST_F(DryRun, TraceTextIsTheDebugWindowsText) {
  // Saved settings that keep the debug windows away do not hide the trace.
  WriteBytes(root.Path() / "settings.txt", "NeverDebug=1\n");
  ToolResult r = RunTool({"trace", "--root", root.Path(), "--settings",
                          (root.Path() / "settings.txt").string(), kText});
  ASSERT_EQ(r.Status, 0) << r.Err;
  InProcess expected(root.Path(), 1, kText);
  std::string text = ToUtf8(expected.control->DebugWindowsText());
  std::string lf;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf.push_back(text[i]);
  if (!lf.empty() && lf.back() != '\n') lf.push_back('\n');
  // The boxes as they are, then the rules that fired with their places in the files.
  ASSERT_TRUE(r.Out.starts_with(lf)) << r.Out;
  EXPECT_TRUE(r.Out.substr(lf.size()).starts_with("== Rules Fired (file:line: rule) ==\n"))
      << r.Out.substr(lf.size());
  EXPECT_NE(r.Out.find("F= c LC= * RC= * RES= k"), std::string::npos);
}

}  // namespace
}  // namespace parlan::testkit
