// `parlan speak`: sound files, events, the phoneme strings and the saved settings. Audio itself
// is measured by the engine tests; here only its arrival in the right file is checked.
#include <gtest/gtest.h>

#include <algorithm>

#include "TinyLanguage.h"
#include "ToolRunner.h"
#include "parlan/PropertyStore.h"

namespace parlan::testkit {
namespace {

class SpeakCommand : public ::testing::Test {
 protected:
  void SetUp() override { WriteLanguage(root.Path(), "Tiny", TinyLanguage()); }
  std::string Root() const { return root.Path().string(); }
  std::string Work(const std::string& name) const { return (work.Path() / name).string(); }
  TempDir root;
  TempDir work;
};

TEST_F(SpeakCommand, FailedSpeechKeepsTheOldFile) {
  LanguageFiles broken = TinyLanguage();
  broken.Rules.clear();
  WriteLanguage(root.Path(), "Tiny", broken);
  std::filesystem::remove(root.Path() / "Parlan Tiny" / "Tinyr.ttg");
  WriteBytes(Work("out.wav"), "old");
  ToolResult r = RunTool({"--root", Root(), "-w", Work("out.wav"), "hello"});
  EXPECT_EQ(r.Status, 1) << r.Err;
  EXPECT_EQ(ReadBytes(Work("out.wav")), "old");
  EXPECT_EQ(FolderEntries(work.Path()), std::vector<std::string>{"out.wav"});
}

TEST_F(SpeakCommand, SettingsAreWrittenBackAfterChanges) {
  const std::string settings = Work("settings.txt");
  ToolResult r =
      RunTool({"--root", Root(), "--settings", settings, "-q", "-v", "2", "-a", "70", "hello"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  FilePropertyStore store(settings);
  ASSERT_TRUE(store.Load());
  int64_t mode = 0;
  int64_t volume = 0;
  EXPECT_TRUE(store.ReadProperty(u"CurrentMode", Variant(int32_t{0})).ToInt64(mode));
  EXPECT_TRUE(store.ReadProperty(u"ParlanVolume", Variant(int32_t{0})).ToInt64(volume));
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(volume, 7);  // the control's level of 70 in 0..200, 100 being its loudest
}

TEST_F(SpeakCommand, SavedModeIsUsedWithoutModeOption) {
  // Two one-mode languages that say "a" differently.
  TempDir two;
  for (auto [name, vowel] : {std::pair{"Ama", "[a]=a"}, std::pair{"Bma", "[a]=A:"}}) {
    LanguageFiles files = TinyLanguage();
    files.Config = {"GENDER=Male"};
    std::replace(files.Rules.begin(), files.Rules.end(), std::string("[a]=a"), std::string(vowel));
    WriteLanguage(two.Path(), name, files);
  }
  const std::string settings = Work("settings.txt");
  WriteBytes(settings, "CurrentMode=2\n");
  const std::string twoRoot = two.Path().string();
  ToolResult saved = RunTool({"phonemes", "--root", twoRoot, "--settings", settings, "a"});
  ToolResult second = RunTool({"phonemes", "--root", twoRoot, "-v", "2", "a"});
  ToolResult first = RunTool({"phonemes", "--root", twoRoot, "-v", "1", "a"});
  ASSERT_EQ(saved.Status, 0) << saved.Err;
  EXPECT_EQ(saved.Out, second.Out);
  EXPECT_NE(first.Out, second.Out);
  // A command that changes no setting leaves the settings file alone.
  EXPECT_EQ(ReadBytes(settings), "CurrentMode=2\n");
}

#if PARLAN_HAVE_ESPEAK

TEST_F(SpeakCommand, WritesAWaveFileOfANativeMode) {
  ToolResult r =
      RunTool({"--root", Root(), "-v", "1", "-w", Work("out.wav"), "The cat sat on the mat."});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "wrote " + Work("out.wav") + "\n");
  const std::string bytes = ReadBytes(Work("out.wav"));
  EXPECT_TRUE(bytes.starts_with("RIFF")) << bytes.substr(0, 4);
  EXPECT_GT(bytes.size(), 22050u / 2);  // well over a quarter of a second of 16-bit audio
  EXPECT_EQ(FolderEntries(work.Path()), std::vector<std::string>{"out.wav"});
}

TEST_F(SpeakCommand, WritesAFlacFileOfAVoiceMode) {
  ToolResult modes = RunTool({"modes", "--root", Root()});
  ASSERT_NE(modes.Out.find("English (America) (SAPI 5)"), std::string::npos);
  ToolResult r = RunTool(
      {"speak", "-v", "English (America) (SAPI 5)", "-w", Work("out.flac"), "Hello there."});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(ReadBytes(Work("out.flac")).starts_with("fLaC"));
}

TEST_F(SpeakCommand, EventsArePrintedAsTheyArrive) {
  ToolResult r = RunTool({"--root", Root(), "-q", "--events", "one two. three four."});
  ASSERT_EQ(r.Status, 0) << r.Err;
  int starts = 0;
  int stops = 0;
  int words = 0;
  for (const std::string& line : Lines(r.Out)) {
    starts += line.starts_with("AudioStart ");
    stops += line.starts_with("AudioStop ");
    words += line.starts_with("WordPosition ");
  }
  EXPECT_GE(starts, 2);  // one per phrase
  EXPECT_EQ(starts, stops);
  EXPECT_GE(words, 2);
}

TEST_F(SpeakCommand, PhonemeOptionPrintsWhatPhonemesPrints) {
  const std::string text = "Dr Chase has 42 cats.";
  ToolResult spoken = RunTool({"--root", Root(), "-q", "-x", "-v", "2", text});
  ToolResult dry = RunTool({"phonemes", "--root", Root(), "-v", "2", text});
  ASSERT_EQ(spoken.Status, 0) << spoken.Err;
  EXPECT_EQ(spoken.Out, dry.Out);
}

TEST_F(SpeakCommand, NoSoundServerIsAnErrorUnlessTheAudioGoesElsewhere) {
  const char* old = std::getenv("PULSE_SERVER");
  const std::string saved = old ? old : "";
  ::setenv("PULSE_SERVER", ("unix:" + Work("nowhere")).c_str(), 1);
  ToolResult played = RunTool({"--root", Root(), "-v", "1", "hello"});
  ToolResult quiet = RunTool({"--root", Root(), "-q", "-v", "1", "hello"});
  ToolResult written = RunTool({"--root", Root(), "-v", "1", "-w", Work("out.wav"), "hello"});
  if (old)
    ::setenv("PULSE_SERVER", saved.c_str(), 1);
  else
    ::unsetenv("PULSE_SERVER");
  EXPECT_EQ(played.Status, 1);
  EXPECT_EQ(played.Err,
            "parlan: no sound server could be reached, so nothing would be heard; write the "
            "audio with -w FILE, or use -q\n");
  EXPECT_EQ(quiet.Status, 0) << quiet.Err;
  EXPECT_EQ(written.Status, 0) << written.Err;
}

TEST_F(SpeakCommand, PitchOutsideTheEnginesRange) {
  ToolResult r = RunTool({"--root", Root(), "-q", "-v", "1", "-p", "500", "hello"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("pitch -p must be 0 to 99, not 500"), std::string::npos) << r.Err;
}

#endif

}  // namespace
}  // namespace parlan::testkit
