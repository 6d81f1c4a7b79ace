// The custom command pass: how a line of the custom command file becomes a command
// text (program name, placeholders, the rewrites, the global options, and values that
// must not change the arguments), and the pass with the real converter on a tiny clip.

#include "engine/edit/edit_custom_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/edit/custom_command_file.h"
#include "platform/gui/gui.h"
#include "platform/process.h"
#include "tests/support/edit_page_window.h"
#include "tests/support/job_run_folder.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

const CustomCommandValues values = {
    .current = "/w/1.mp4", .next = "/w/1a.mp4", .title = "片 段", .global_options = "-hide_banner"};

struct LineCase {
  const char* name;
  std::string line;
  std::string title;
  std::optional<std::string> expected;
};

}  // namespace

TEST(CustomCommandText, LinesBecomeCommandTexts) {
  const std::string g = "-hide_banner ";
  const LineCase cases[] = {
      {"program name with extension, any case", "FFMPEG.EXE -i [input] -vf hflip [output]", "t",
       g + "-i \"/w/1.mp4\" -vf hflip -y \"/w/1a.mp4\""},
      {"-threads: no global options", "ffmpeg -threads 4 -i [input] [output]", "t",
       "-threads 4 -i \"/w/1.mp4\" -y \"/w/1a.mp4\""},
      {"-hwaccel: no global options", "-hwaccel auto -i [input] [output]", "t",
       "-hwaccel auto -i \"/w/1.mp4\" -y \"/w/1a.mp4\""},
      {"no [output]", "-i [input] -c copy out.mp4", "t", std::nullopt},
      {"no [input]", "-f lavfi -i testsrc [output]", "t", std::nullopt},
      {"[Input] is no placeholder", "-i [Input] [output]", "t", std::nullopt},
      {"blank line", "", "t", std::nullopt},
      {"blanks and full-width blanks trimmed", "  \xE3\x80\x80-i [input] [output] \xE3\x80\x80 ", "t",
       g + "-i \"/w/1.mp4\" -y \"/w/1a.mp4\""},
      {"a tab keeps the program name", "\tffmpeg -i [input] [output]", "t",
       g + "\tffmpeg -i \"/w/1.mp4\" -y \"/w/1a.mp4\""},
      {"-y before [output] keeps both", "-i [input] -y [output]", "t", g + "-i \"/w/1.mp4\" -y -y \"/w/1a.mp4\""},
      {"[input] in quotes gets one pair", "-i \"[input]\" [output]", "t", g + "-i \"/w/1.mp4\" -y \"/w/1a.mp4\""},
      {"every occurrence replaced", "-i [input] -i [input] -map 0 [output]", "t",
       g + "-i \"/w/1.mp4\" -i \"/w/1.mp4\" -map 0 -y \"/w/1a.mp4\""},
      {"every \"ffmpeg \" goes once the line begins with it", "ffmpeg -i [input] -metadata c=ffmpeg [output]", "t",
       g + "-i \"/w/1.mp4\" -metadata c= -y \"/w/1a.mp4\""},
      {"quoted title, double blank collapsed", "-i [input] -metadata title=\"[title]\" [output]", "a  b",
       g + "-i \"/w/1.mp4\" -metadata title=\"a b\" -y \"/w/1a.mp4\""},
      {"title loses its quotes and trailing backslash", "-i [input] -metadata title=\"[title]\" [output]",
       "x\" -y \"/etc/y\\", g + "-i \"/w/1.mp4\" -metadata title=\"x -y /etc/y\" -y \"/w/1a.mp4\""},
      {"unquoted title with a blank is put in quotes", "-i [input] -metadata title=[title] [output]", "my clip",
       g + "-i \"/w/1.mp4\" -metadata title=\"my clip\" -y \"/w/1a.mp4\""},
      {"unquoted title without a blank stays as it is", "-i [input] -metadata title=[title] [output]", "clip",
       g + "-i \"/w/1.mp4\" -metadata title=clip -y \"/w/1a.mp4\""},
      {"a title naming -threads keeps the global options", "-i [input] -metadata title=[title] [output]",
       "-threads", g + "-i \"/w/1.mp4\" -metadata title=-threads -y \"/w/1a.mp4\""},
      {"the stand-in byte in a line", "-i [input] \x01T [output]", "t", std::nullopt},
  };
  for (const LineCase& c : cases) {
    CustomCommandValues v = values;
    v.title = c.title;
    EXPECT_EQ(custom_command_text(c.line, v), c.expected) << c.name;
  }
}

TEST(CustomCommandText, InsertedValuesNeverChangeTheArguments) {
  // The title's blanks and quotes stay inside one argument, quoted by the line or not.
  CustomCommandValues v = values;
  v.title = "a \"b\" -i /etc/passwd";
  for (const std::string line :
       {"-i [input] -metadata title=[title] [output]", "-i [input] -metadata \"title=[title]\" [output]"}) {
    const std::optional<std::string> text = custom_command_text(line, v);
    ASSERT_TRUE(text) << line;
    EXPECT_EQ(split_command_line(" " + *text),
              (std::vector<std::string>{"-hide_banner", "-i", "/w/1.mp4", "-metadata", "title=a b -i /etc/passwd",
                                        "-y", "/w/1a.mp4"}))
        << line;
  }

  // A work file that cannot be written between quotes, or that the user's own quoting
  // would leave outside quotes where its blank splits it, stops the line.
  v = values;
  v.current = "/w/a\"b.mp4";
  EXPECT_EQ(custom_command_text("-i [input] [output]", v), std::nullopt);
  v.current = "/w/a\\";
  EXPECT_EQ(custom_command_text("-i [input] [output]", v), std::nullopt);
  v.current = "";
  EXPECT_EQ(custom_command_text("-i [input] [output]", v), std::nullopt);
  v = values;
  v.current = "/w/a b.mp4";
  EXPECT_EQ(custom_command_text("-i \"x [input] [output]", v), std::nullopt);
  EXPECT_EQ(custom_command_text("-i [input] [output]", v), "-hide_banner -i \"/w/a b.mp4\" -y \"/w/1a.mp4\"");
}

namespace {

class CustomCommandPass : public ::testing::Test {
 protected:
  void SetUp() override {
    run = test_env::use_job_run_folder(dir.path());
    window = gui().create_window(test_env::build_edit_page_window());
    gui().open_window(window);
    source = dir / "源 片段.mp4";
    ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1", "-c:v",
                                     "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", source}));
    const RowId row = gui().append_row({window, "edit_list"}, {"1", source, "00:00:01", ""}).id;
    work = run + "/v_tempx/";
    fs::create_directories(work);
    state = make_edit_video_state(1, row, source, "00:00:01", work);
    fs::copy_file(source, state.work_file_a);
  }

  std::string status() const { return gui().cell({window, "edit_list"}, 0, 3); }

  // ffprobe's value of the container tag `tag` of `path`.
  static std::string format_tag(const std::string& path, const std::string& tag) {
    const test_env::ProgramResult probe = test_env::run_program(
        {QF_SYSTEM_FFPROBE, "-v", "error", "-show_entries", "format_tags=" + tag, "-of", "default=nw=1:nk=1", path});
    std::string value = probe.output;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return value;
  }

  HeadlessGui g;
  TempDir dir;
  std::string run, work, source;
  WindowToken window;
  EditVideoState state;
};

}  // namespace

TEST_F(CustomCommandPass, LinesRunInAChainAndFailedOrSkippedLinesLeaveTheCurrentFile) {
  // bin/ffmpeg leaves a partial file and fails for a line holding "partial".
  const std::string program = run + "/bin/ffmpeg";
  fs::remove(program);
  write_file(program, "#!/bin/sh\ncase \"$*\" in *partial*) for a in \"$@\"; do last=$a; done; "
                      "head -c 5000 /dev/zero > \"$last\"; exit 1;; esac\nexec '" QF_SYSTEM_FFMPEG "' \"$@\"\n");
  fs::permissions(program, fs::perms::owner_all);

  ASSERT_TRUE(write_custom_command_file("ffmpeg -i [input] -vf hflip -metadata comment=flipped [output]\r\n"
                                        "-i [input] -vf no_such_filter [output]\r\n"
                                        "-i [input] -metadata comment=partial [output]\r\n"
                                        "-i [input] -c copy out.mp4\r\n"
                                        "\r\n"
                                        "-i [input] -c copy -metadata title=\"[title]\" [output]\r\n"));
  gui().set_checked({window, "custom_command_check"}, true);
  gui().set_checked({window, "custom_after_radio"}, true);
  run_custom_commands_before(state, EditPage(window));
  EXPECT_EQ(status(), "");
  EXPECT_EQ(state.current, 1);

  run_custom_commands_after(state, EditPage(window));
  // Two lines did not count: the pass is not shown as a success, and its option is
  // recorded as not applied.
  EXPECT_EQ(status(), "自定命令失败");
  // Two lines counted: A -> B (flipped), B -> A (titled, read from the flipped file).
  EXPECT_EQ(state.current, 1);
  const test_env::ProbeResult probe = test_env::ffprobe(state.current_file());
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(probe.width, 160);
  EXPECT_EQ(format_tag(state.current_file(), "comment"), "flipped");
  EXPECT_EQ(format_tag(state.current_file(), "title"), "源 片段");
  EXPECT_NE(read_file(state.current_file()), read_file(source));
}

TEST_F(CustomCommandPass, AnEmptyOrMissingFileFailsAndNothingRuns) {
  gui().set_checked({window, "custom_command_check"}, true);
  gui().set_checked({window, "custom_before_radio"}, true);
  for (const std::string& content : {std::string(), std::string("\0-i [input] [output]", 20)}) {
    write_file(custom_command_file_path(), content);
    gui().set_cell({window, "edit_list"}, 0, 3, "");
    run_custom_commands_after(state, EditPage(window));
    EXPECT_EQ(status(), "");
    run_custom_commands_before(state, EditPage(window));
    EXPECT_EQ(status(), "自定命令失败");
  }
  fs::remove(custom_command_file_path());
  run_custom_command_pass(state, EditPage(window));
  EXPECT_EQ(status(), "自定命令失败");
  EXPECT_EQ(state.current, 1);
  EXPECT_FALSE(fs::exists(state.work_file_b));
}
