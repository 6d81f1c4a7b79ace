#pragma once
// The save of each edited video: the current work file written into the edit page's
// output folder as folder + "/" + the source's name without its extension + "." +
// `output_format`, compressed or not, and the row's final status.
//
// The ordinary save is one command with the progress callback:
//   G -i "current" RATE PACK -y "OUT"
// RATE: " -r " + the frame-rate field when its box is checked; PACK: " -vcodec copy"
// without compression, " -crf (strength + 27) -b:a 50k -preset ultrafast" for
// "模式一" (" -b:a 48k" for ts, whose mp2 sound takes only fixed bit rates),
// " -vcodec libx265 -preset ultrafast" for any other mode (libx264 for flv and wmv,
// which cannot carry HEVC).
// With "随机转场" on, the MP4 radio checked and a ".mp4" source the streams are copied
// instead and a frame at one second becomes the cover picture (no global options, no
// RATE, no PACK), the per-file strip reading "20%", "30%" and "100%":
//   -ss 1 -i "current" -frames:v 1 -f image2 -y "k5pw.jpg"
//   -i "current" -i "k5pw.jpg" -map 1 -map 0 -c copy -disposition:0 attached_pic -y "OUT"
//
// The row ends ">任务完成<" only when the converter exited 0, the output exists, is
// not empty and has a duration the converter can read, and every ticked option was
// applied; a saved video with an option that was not applied ends "未完成：" and the
// first such option's name (its box's caption up to its first "，", without the colon:
// "未完成：帧速率"). A frame rate that is no number is left out of the save (and names
// the frame rate); on the cover path a ticked compression is not applied. A save that
// fails ends "保存失败" and leaves no file that looks like an output: the file at OUT
// is removed when the save made it or wrote over it, never when it did not touch it.
// An output that is a listed source (or the work file itself) is never written:
// "输出会覆盖原视频".
//
// Within one job no save writes over a file an earlier row's save wrote: a name
// already taken in this job is numbered, "movie(2).mp4", "movie(3).mp4", ... (the
// first row keeps the plain name; a numbered name is never a listed source's).

#include <optional>
#include <string>
#include <vector>

#include "engine/common/job_output_names.h"
#include "engine/edit/edit_job_state.h"

inline constexpr const char* edit_status_saving = "正在保存";
inline constexpr const char* edit_status_compressing = "压缩并保存中";
inline constexpr const char* edit_status_done = ">任务完成<";
inline constexpr const char* edit_status_save_failed = "保存失败";
// The start of the status of a saved video with an option that was not applied.
inline constexpr const char* edit_status_not_applied_prefix = "未完成：";
// The row's status when a work file or the output would be written over a listed source
// (the text the convert and merge jobs show for theirs).
inline constexpr const char* edit_status_output_is_source = "输出会覆盖原视频";

// The options of one save, read from the page when the save runs.
struct EditSaveOptions {
  std::string output_folder;  // without a trailing "/"
  std::string format;         // `output_format`
  bool frame_rate_on = false;
  std::string frame_rate_text;
  bool compress = false;
  std::string compress_mode;  // the mode combo's text
  int compress_strength = 10; // the slider's position
  bool random_transition = false;
  bool mp4_radio = false;
};

EditSaveOptions read_edit_save_options(const EditPage& page);

// OUT for `source`: output folder + "/" + its file name without extension + "." + format.
std::string edit_output_path(const std::string& output_folder, const std::string& source, const std::string& format);

// RATE: "" when the frame-rate box is off; " -r " + the text when the text is a
// positive number (digits with an optional fraction, or a ratio of two whole numbers);
// nothing when it is not, so that no typed text reaches the command line (the save
// then leaves the rate out).
std::optional<std::string> edit_save_rate_option(bool frame_rate_on, const std::string& frame_rate_text);

// PACK as described above, for the output format `format`.
std::string edit_save_pack_option(bool compress, const std::string& mode, int strength, const std::string& format);

// True when the save takes the cover-picture path.
bool edit_save_takes_cover_path(const EditSaveOptions& options, const std::string& source_extension);

// The name of an option as the status gives it: the caption of its box up to the
// first "，", without a colon at its end ("帧速率：" gives "帧速率", "修改视频尺寸，宽度："
// gives "修改视频尺寸").
std::string edit_option_name(const std::string& caption);

// "未完成：" + the name of the option whose box has the caption `caption`.
std::string edit_not_applied_status(const std::string& caption);

// Saves the video and writes its final status; returns that status. The save may
// record options it does not apply itself (the frame rate, the compression).
// `listed_sources` are the sources of the edit list when the job began; `output_names`
// the names this job's saves have taken so far.
std::string save_edited_video(EditVideoState& state, const EditPage& page,
                              const std::vector<std::string>& listed_sources, JobOutputNames& output_names);
