// The texts the effect, speed, sample rate, subtitle and added-audio steps build, as
// one table: what each typed value gives, and which values never reach a command.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/converter/media_probes.h"
#include "engine/edit/edit_step_added_audio.h"
#include "engine/edit/edit_step_playback_speed.h"
#include "engine/edit/edit_step_sample_rate.h"
#include "engine/edit/edit_step_subtitle.h"

namespace {

std::string shown(const std::optional<std::string>& text) { return text ? *text : "(none)"; }

SubtitleFilterValues subtitle_defaults() {
  SubtitleFilterValues values;
  values.font = "DejaVuSans.ttf";
  values.text_file = "../v_tempx/subtitle.txt";
  values.direction = "向左";
  values.speed = "2";
  values.bottom = "30";
  values.size = "35";
  values.shadow = "0";
  values.colour = 65535;
  return values;
}

std::string subtitle_with(void (*change)(SubtitleFilterValues&)) {
  SubtitleFilterValues values = subtitle_defaults();
  change(values);
  return shown(subtitle_filter_text(values));
}

EditVideoState lengths(int kept, int full) {
  EditVideoState state;
  state.kept_length = kept;
  state.full_length = full;
  return state;
}

struct Row {
  const char* what;
  std::string actual;
  std::string expected;
};

}  // namespace

TEST(EditStepCommandTexts, EachTypedValueGivesItsTextAndNoNumberReachesNoCommand) {
  const std::string drawn =
      "drawtext=fontfile=DejaVuSans.ttf: textfile=../v_tempx/subtitle.txt: expansion=none: y=h-line_h-";
  const std::string left = "x=(w-mod(2*n\\,w+tw))";
  const std::string look = ":fontsize=35:fontcolor=#FFFF00:shadowy=0";
  const Row rows[] = {
      // The speed as typed multiplies the times; the tempo is its inverse.
      {"speed 0.5", shown(playback_speed_filter_text("0.5", true)), "[0:v]setpts=0.5*PTS[v];[0:a]atempo=2[a]"},
      {"speed 2.0", shown(playback_speed_filter_text("2.0", true)), "[0:v]setpts=2.0*PTS[v];[0:a]atempo=0.5[a]"},
      {"speed 0.6", shown(playback_speed_filter_text("0.6", true)),
       "[0:v]setpts=0.6*PTS[v];[0:a]atempo=1.666666666667[a]"},
      {"speed 1.5", shown(playback_speed_filter_text("1.5", true)),
       "[0:v]setpts=1.5*PTS[v];[0:a]atempo=0.6666666666667[a]"},
      {"speed 3: a chain", shown(playback_speed_filter_text("3", true)),
       "[0:v]setpts=3*PTS[v];[0:a]atempo=0.5,atempo=0.6666666666667[a]"},
      {"speed 5: a longer chain", shown(playback_speed_filter_text("5", true)),
       "[0:v]setpts=5*PTS[v];[0:a]atempo=0.5,atempo=0.5,atempo=0.8[a]"},
      {"speed 0.005: above the top", shown(playback_speed_filter_text("0.005", true)),
       "[0:v]setpts=0.005*PTS[v];[0:a]atempo=100,atempo=2[a]"},
      {"speed without sound", shown(playback_speed_filter_text("2.0", false)), "[0:v]setpts=2.0*PTS[v]"},
      {"speed empty", shown(playback_speed_filter_text("", true)), "(none)"},
      {"speed 0", shown(playback_speed_filter_text("0", true)), "(none)"},
      {"speed 0.0", shown(playback_speed_filter_text("0.0", true)), "(none)"},
      {"speed -1", shown(playback_speed_filter_text("-1", true)), "(none)"},
      {"speed 1e3", shown(playback_speed_filter_text("1e3", true)), "(none)"},
      {"speed with a quote", shown(playback_speed_filter_text("2\" -y \"x.mp4", true)), "(none)"},
      // The lengths follow the speed.
      {"length 2 at 0.5", std::to_string(length_after_speed(2, 0.5)), "1"},
      {"length 20 at 0.7", std::to_string(length_after_speed(20, 0.7)), "14"},
      {"length 3 at 1.1", std::to_string(length_after_speed(3, 1.1)), "3"},
      {"length 0 stays", std::to_string(length_after_speed(0, 2.0)), "0"},
      {"no length stays", std::to_string(length_after_speed(-3, 2.0)), "-3"},
      // The sample rate field.
      {"rate 0 resets", std::to_string(audio_rate_needs_default("0")), "1"},
      {"rate abc resets", std::to_string(audio_rate_needs_default("abc")), "1"},
      {"rate empty resets", std::to_string(audio_rate_needs_default("")), "1"},
      {"rate 0.5 resets", std::to_string(audio_rate_needs_default("0.5")), "1"},
      {"rate 1 stays", std::to_string(audio_rate_needs_default("1")), "0"},
      {"rate 1", audio_sample_rate_text("1"), "1000"},
      {"rate 22.05", audio_sample_rate_text("22.05"), "22050"},
      {"rate 44.1", audio_sample_rate_text("44.1"), "44100"},
      {"rate 48", audio_sample_rate_text(audio_rate_default_text), "48000"},
      // The subtitle's direction and filter.
      {"to the left", subtitle_position_text("向左", "2"), "x=(w-mod(2*n\\,w+tw))"},
      {"to the right", subtitle_position_text("向右", "2"), "x=(mod(2*n\\,w+tw)-tw)"},
      {"left with a blank", subtitle_position_text("向左 ", "7"), "x=(mod(7*n\\,w+tw)-tw)"},
      {"subtitle defaults", subtitle_with([](SubtitleFilterValues&) {}), drawn + "30:" + left + look},
      {"colour red", subtitle_with([](SubtitleFilterValues& v) { v.colour = 255; }),
       drawn + "30:" + left + ":fontsize=35:fontcolor=#FF0000:shadowy=0"},
      {"shadow -5", subtitle_with([](SubtitleFilterValues& v) { v.shadow = "-5"; }),
       drawn + "30:" + left + ":fontsize=35:fontcolor=#FFFF00:shadowy=-5"},
      {"bottom 0", subtitle_with([](SubtitleFilterValues& v) { v.bottom = "0"; }), drawn + "0:" + left + look},
      {"bottom with a quote", subtitle_with([](SubtitleFilterValues& v) { v.bottom = "30\" -y \"x.mp4"; }), "(none)"},
      {"bottom with an option", subtitle_with([](SubtitleFilterValues& v) { v.bottom = "30:x=0"; }), "(none)"},
      {"size 0", subtitle_with([](SubtitleFilterValues& v) { v.size = "0"; }), "(none)"},
      {"size with a filter", subtitle_with([](SubtitleFilterValues& v) { v.size = "35,hflip"; }), "(none)"},
      {"shadow 1.5", subtitle_with([](SubtitleFilterValues& v) { v.shadow = "1.5"; }), "(none)"},
      {"speed empty", subtitle_with([](SubtitleFilterValues& v) { v.speed = ""; }), "(none)"},
      {"no font", subtitle_with([](SubtitleFilterValues& v) { v.font = ""; }), "(none)"},
      {"font with a quote", subtitle_with([](SubtitleFilterValues& v) { v.font = "a\".ttf"; }), "(none)"},
      // Names in a filter: escaped for the option and for the graph.
      {"plain name", shown(filter_option_value_text("wqy-microhei_1.ttc")), "wqy-microhei_1.ttc"},
      {"non-ASCII name", shown(filter_option_value_text("/字体/黑体.ttf")), "/字体/黑体.ttf"},
      {"blank", shown(filter_option_value_text("a b")), "a\\\\\\ b"},
      {"quote and colon", shown(filter_option_value_text("a':")), "a\\\\\\'\\\\\\:"},
      {"backslash", shown(filter_option_value_text("a\\")), "a\\\\\\\\"},
      {"control character", shown(filter_option_value_text("a\tb")), "(none)"},
      // The added audio: its length and its temporary file.
      {"cut to D", std::to_string(added_audio_length(lengths(96, 100))), "96"},
      {"cut to D0 without D", std::to_string(added_audio_length(lengths(0, 100))), "100"},
      {"cut to D0 with D below 0", std::to_string(added_audio_length(lengths(-3, 100))), "100"},
      {"temporary audio", added_audio_work_file("/r/v_tempx/"), "/r/v_tempx/added_audio.mka"},
      // The stream list that tells a video with sound.
      {"sound listed",
       std::to_string(console_lists_audio_stream("  Stream #0:0[0x1](und): Video: h264\r\n"
                                                 "  Stream #0:1[0x2](und): Audio: aac (LC), 44100 Hz\r\n")),
       "1"},
      {"picture only", std::to_string(console_lists_audio_stream("  Stream #0:0: Video: h264\r\n")), "0"},
      {"audio named elsewhere",
       std::to_string(console_lists_audio_stream("Input #0, mov, from 'x: Audio: y.mp4':\r\n"
                                                 "  Stream #0:0: Video: h264\r\n")),
       "0"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected) << row.what;
}
