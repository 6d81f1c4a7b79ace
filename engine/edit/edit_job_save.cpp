#include "engine/edit/edit_job_save.h"

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/converter/job_progress.h"
#include "engine/converter/media_probes.h"
#include "engine/edit/edit_field_values.h"
#include "engine/edit/edit_job_command.h"
#include "platform/files.h"

namespace {

constexpr const char* cover_picture_name = "k5pw.jpg";

void show_cover_progress(const EditPage& page, int percent) {
  gui().set_value(page("file_progress_bar"), percent);
  gui().set_text(page("file_progress_label"), std::to_string(percent) + "%");
}

bool save_succeeded(int exit_status, const std::string& output) {
  if (exit_status != 0 || !is_regular_file(output)) return false;
  const auto length = file_length(output);
  return length && *length > 0 && !probe_duration(output).empty();
}

// The cover path: a frame at one second as the cover picture, the streams copied.
int save_with_cover(const EditVideoState& state, const EditPage& page, const std::string& output) {
  const std::string cover = state.work_folder + cover_picture_name;
  // A picture left by an earlier video must never become this one's cover.
  delete_file(cover);
  EditRunOptions plain;
  plain.global_options = false;
  show_cover_progress(page, 20);
  EditCommand grab;
  // One frame: the converter refuses to write a second picture to the same name.
  grab.text(" -ss 1 -i ").path(state.current_file()).text(" -frames:v 1 -f image2 -y ").path(cover);
  run_edit_command(grab, plain);
  show_cover_progress(page, 30);
  EditCommand attach;
  attach.text(" -i ").path(state.current_file()).text(" -i ").path(cover);
  attach.text(" -map 1 -map 0 -c copy -disposition:0 attached_pic -y ").path(output);
  const int exit_status = path_exists(cover) ? run_edit_command(attach, plain) : -1;
  show_cover_progress(page, 100);
  return exit_status;
}

}  // namespace

EditSaveOptions read_edit_save_options(const EditPage& page) {
  EditSaveOptions options;
  options.output_folder = page.text("edit_output_folder_field");
  options.format = output_format.get();
  options.frame_rate_on = page.checked("frame_rate_check");
  options.frame_rate_text = page.text("frame_rate_field");
  options.compress = page.checked("compress_check");
  options.compress_mode = page.text("compress_mode_combo");
  options.compress_strength = gui().value(page("compress_strength_slider"));
  options.random_transition = page.checked("random_transition_check");
  options.mp4_radio = page.checked("edit_format_mp4_radio");
  return options;
}

std::string edit_output_path(const std::string& output_folder, const std::string& source, const std::string& format) {
  return output_folder + "/" + file_name_from_path(source) + "." + format;
}

std::optional<std::string> edit_save_rate_option(bool frame_rate_on, const std::string& frame_rate_text) {
  if (!frame_rate_on) return std::string();
  if (!is_frame_rate_text(frame_rate_text)) return std::nullopt;
  return " -r " + frame_rate_text;
}

std::string edit_save_pack_option(bool compress, const std::string& mode, int strength, const std::string& format) {
  if (!compress) return " -vcodec copy";
  if (mode == "模式一") {
    // The transport stream's default sound encoder (mp2) takes only its fixed bit rates.
    const char* audio_rate = format == "ts" ? " -b:a 48k" : " -b:a 50k";
    return " -crf " + std::to_string(strength + 27) + audio_rate + " -preset ultrafast";
  }
  // flv and wmv files cannot carry HEVC video.
  if (format == "flv" || format == "wmv") return " -vcodec libx264 -preset ultrafast";
  return " -vcodec libx265 -preset ultrafast";
}

bool edit_save_takes_cover_path(const EditSaveOptions& options, const std::string& source_extension) {
  return options.random_transition && options.mp4_radio && source_extension == ".mp4";
}

std::string edit_option_name(const std::string& caption) {
  std::string name = caption.substr(0, caption.find("，"));
  for (const std::string colon : {"：", ":"}) {
    while (name.ends_with(colon)) name.resize(name.size() - colon.size());
  }
  return name;
}

std::string edit_not_applied_status(const std::string& caption) {
  return edit_status_not_applied_prefix + edit_option_name(caption);
}

std::string save_edited_video(EditVideoState& state, const EditPage& page,
                              const std::vector<std::string>& listed_sources, JobOutputNames& output_names) {
  set_edit_status(page, state, edit_status_saving);
  const EditSaveOptions options = read_edit_save_options(page);
  const std::optional<std::string> rate = edit_save_rate_option(options.frame_rate_on, options.frame_rate_text);
  // A rate that is no number is left out; the rest of the video is saved all the same.
  if (!rate) mark_option_not_applied(state, "frame_rate_check");
  if (options.compress) set_edit_status(page, state, edit_status_compressing);
  const std::string pack = edit_save_pack_option(options.compress, options.compress_mode, options.compress_strength, options.format);
  const std::string& current = state.current_file();
  const auto overwrites = [&](const std::string& path) {
    if (!path_exists(path)) return false;
    if (is_same_file(path, state.source) || is_same_file(path, current)) return true;
    for (const std::string& source : listed_sources) {
      if (is_same_file(path, source)) return true;
    }
    return false;
  };
  // A name an earlier row of this job took is numbered ("name(2).ext") and never made
  // a source's; the plain name, when it is a source's, is refused below.
  std::string output = edit_output_path(options.output_folder, state.source, options.format);
  if (!options.output_folder.empty() && (output_names.claimed(output) || !overwrites(output))) {
    output = output_names.claim(output, overwrites);
  }

  std::string status = edit_status_done;
  if (overwrites(output)) {
    status = edit_status_output_is_source;
  } else if (options.output_folder.empty()) {
    // No folder chosen: the output would land in the root folder.
    status = edit_status_save_failed;
  } else {
    const std::optional<FileStamp> before = file_stamp(output);
    int exit_status = -1;
    if (edit_save_takes_cover_path(options, state.source_extension)) {
      // This path copies the streams: compression is not applied.
      if (options.compress) mark_option_not_applied(state, "compress_check");
      exit_status = save_with_cover(state, page, output);
    } else {
      progress_total_duration.set(probe_duration(current));
      EditCommand command;
      command.text(" -i ").path(current).text(rate.value_or("")).text(pack).text(" -y ").path(output);
      EditRunOptions run;
      run.progress = job_progress_callback;
      exit_status = run_edit_command(command, run);
    }
    if (!save_succeeded(exit_status, output)) {
      status = edit_status_save_failed;
      // What the failed save wrote is no output: a file it made, or one it wrote over,
      // goes; one it never touched stays.
      const std::optional<FileStamp> after = file_stamp(output);
      if (after && after != before && is_regular_file(output)) remove_file(output);
    } else if (!state.unapplied_option.empty()) {
      status = edit_not_applied_status(page.text(state.unapplied_option));
    }
  }
  set_edit_status(page, state, status);
  return status;
}
