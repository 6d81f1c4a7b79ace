#include "dialogs/region_preview.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>

#include "engine/common/decimal_text.h"
#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/frame_size.h"
#include "engine/converter/media_probes.h"
#include "engine/converter/video_stream_line.h"
#include "engine/window/file_dialogs.h"
#include "platform/files.h"
#include "platform/gui/picture.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/shortpath.h"


namespace {

// A path as the probe and the grab write it (between quotes): its short form. A path
// that would still change the command's arguments (no alias could be made for it) is
// not handed over; "" then, which the caller treats as nothing to run.
std::string command_path(const std::string& path) {
  const std::string short_path = short_path_for_command(path);
  if (path_needs_alias(short_path)) return {};
  return short_path;
}

ControlSpec centred_field(const char* role, GuiRect geometry) {
  ControlSpec spec = control_spec(role, ControlKind::edit_box, geometry);
  spec.align = TextAlign::centre;
  spec.digits_only = true;
  spec.max_length = region_value_max_digits;
  return spec;
}

}  // namespace

// ------------------------------------------------------------------ task bookkeeping

namespace {

// The states of the open editor windows, by window id.
std::mutex states_mutex;
std::map<std::uint64_t, std::shared_ptr<RegionEditorState>>& editor_states() {
  static std::map<std::uint64_t, std::shared_ptr<RegionEditorState>> states;
  return states;
}

}  // namespace

std::shared_ptr<RegionEditorState> region_editor_state(WindowToken window) {
  std::lock_guard lock(states_mutex);
  const auto it = editor_states().find(window.id);
  return it == editor_states().end() ? nullptr : it->second;
}

RegionEditorState::RegionEditorState(const RegionEditor& editor)
    : frame_width(editor.memory->frame_width.load()), frame_height(editor.memory->frame_height.load()), editor_(editor) {}

void RegionEditorState::set_frame_size(int width, int height) {
  frame_width = width;
  frame_height = height;
  editor_.memory->frame_width = width;
  editor_.memory->frame_height = height;
}

void RegionEditorState::start_task(std::function<void()> task) {
  std::lock_guard lock(tasks_mutex_);
  start_task_locked(std::move(task));
}

void RegionEditorState::start_task_locked(std::function<void()> task) {
  if (stopping_) return;
  // Join the tasks that have finished, so the list holds only live ones.
  for (auto it = tasks_.begin(); it != tasks_.end();) {
    if (*it->finished) {
      it->thread.join();
      it = tasks_.erase(it);
    } else {
      ++it;
    }
  }
  auto finished = std::make_shared<std::atomic<bool>>(false);
  tasks_.push_back(Task{std::thread([task = std::move(task), finished] {
                          task();
                          *finished = true;
                        }),
                        finished});
}

// The timer is started and stopped under the tasks' lock, with the accounting: between
// a start and the tick's task there is never a moment when nothing counts as due.
void RegionEditorState::start_trigger(WindowToken window, const std::string& timer) {
  std::lock_guard lock(tasks_mutex_);
  if (stopping_) return;
  due_triggers_.insert(timer);
  gui().set_timer(window, timer, 1);
}

void RegionEditorState::run_trigger(WindowToken window, const std::string& timer, std::function<void()> task) {
  std::lock_guard lock(tasks_mutex_);
  gui().set_timer(window, timer, 0);
  due_triggers_.erase(timer);
  start_task_locked(std::move(task));
}

void RegionEditorState::run_converter(const std::string& command, std::string* console_text) {
  if (stopping_) return;
  int process_id = 0;
  const auto make_known = [&](int id) {
    std::lock_guard lock(tasks_mutex_);
    process_id = id;
    converter_ids_.push_back(id);
    // end_tasks began between the check above and the start: end this run as well.
    if (stopping_) end_converter_process(id);
  };
  run_console_capture(ffmpeg_exe_path.get(), command, nullptr, nullptr, console_text, nullptr, make_known);
  std::lock_guard lock(tasks_mutex_);
  if (process_id != 0) std::erase(converter_ids_, process_id);
}

void RegionEditorState::end_tasks() {
  std::vector<Task> tasks;
  {
    std::lock_guard lock(tasks_mutex_);
    stopping_ = true;
    due_triggers_.clear();
    for (const int id : converter_ids_) end_converter_process(id);
    tasks.swap(tasks_);
  }
  for (Task& task : tasks) task.thread.join();
}

int RegionEditorState::running_tasks() const {
  std::lock_guard lock(tasks_mutex_);
  int running = 0;
  for (const Task& task : tasks_) running += *task.finished ? 0 : 1;
  return running;
}

bool RegionEditorState::idle() const {
  std::lock_guard lock(tasks_mutex_);
  if (!due_triggers_.empty()) return false;
  return std::all_of(tasks_.begin(), tasks_.end(), [](const Task& task) { return task.finished->load(); });
}

void RegionEditorState::set_test_pause(std::function<void(RegionTaskPoint)> pause) {
  std::lock_guard lock(tasks_mutex_);
  test_pause_ = std::move(pause);
}

void RegionEditorState::pause_at(RegionTaskPoint point) const {
  std::function<void(RegionTaskPoint)> pause;
  {
    std::lock_guard lock(tasks_mutex_);
    pause = test_pause_;
  }
  if (pause) pause(point);
}

// ------------------------------------------------------------------ design

std::vector<ControlSpec> region_editor_controls(const std::string& first_step, const std::string& second_step,
                                                const std::string& left_caption, bool with_size_fields,
                                                bool animation_preview) {
  std::vector<ControlSpec> controls;
  controls.push_back(control_spec("region_first_step_label", ControlKind::label, {12, 8, 400, 20}, first_step));
  controls.push_back(control_spec("region_video_label", ControlKind::label, {12, 38, 72, 22}, "视频地址："));
  ControlSpec video = control_spec(region_video_field, ControlKind::edit_box, {84, 34, 560, 24});
  video.read_only = true;
  controls.push_back(video);
  controls.push_back(control_spec(region_choose_button, ControlKind::button, {652, 32, 80, 28}, "选择"));
  controls.push_back(control_spec(region_open_folder_button, ControlKind::button, {740, 32, 100, 28}, "打开文件夹"));
  controls.push_back(control_spec("region_second_step_label", ControlKind::label, {12, 68, 400, 20}, second_step));

  controls.push_back(control_spec("region_left_label", ControlKind::label, {12, 98, 72, 22}, left_caption));
  controls.push_back(centred_field(region_left_field, {84, 94, 60, 24}));
  controls.push_back(control_spec("region_top_label", ControlKind::label, {150, 98, 42, 22}, "顶距："));
  controls.push_back(centred_field(region_top_field, {192, 94, 60, 24}));
  if (with_size_fields) {
    controls.push_back(control_spec("region_width_label", ControlKind::label, {258, 98, 42, 22}, "宽度："));
    controls.push_back(centred_field(region_width_field, {300, 94, 60, 24}));
    controls.push_back(control_spec("region_height_label", ControlKind::label, {366, 98, 42, 22}, "高度："));
    controls.push_back(centred_field(region_height_field, {408, 94, 60, 24}));
  }
  controls.push_back(control_spec("region_time_label", ControlKind::label, {476, 98, 72, 22}, "视频位置："));
  ControlSpec slider = control_spec(region_time_slider, ControlKind::slider, {548, 92, 170, 30});
  slider.maximum = 0;
  controls.push_back(slider);
  controls.push_back(control_spec("region_zoom_label", ControlKind::label, {724, 98, 72, 22}, "显示比例："));
  ControlSpec zoom = control_spec(region_zoom_combo, ControlKind::combo_box, {796, 94, 64, 24});
  zoom.items = {"30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"};
  zoom.selected = 7;
  zoom.text = "100%";
  controls.push_back(zoom);
  controls.push_back(control_spec(region_save_button, ControlKind::button, {866, 92, 76, 28}, "保存设置"));
  controls.push_back(control_spec(region_preview,
                                  animation_preview ? ControlKind::animation_box : ControlKind::picture_box,
                                  {23, 130, 904, 496}));
  return controls;
}

// ------------------------------------------------------------------ numbers and commands

int region_zoom_factor(WindowToken window) {
  std::string text = gui().text({window, region_zoom_combo});
  std::erase(text, '%');
  return static_cast<int>(text_to_number(text));
}

double source_to_preview_exact(const std::string& text, int zoom) {
  return std::trunc(text_to_number(text) * zoom / 100);
}

int source_to_preview(const std::string& text, int zoom) {
  constexpr double limit = 1000000;
  const double preview = source_to_preview_exact(text, zoom);
  if (!(preview > -limit)) return static_cast<int>(-limit);  // a NaN too
  return static_cast<int>(std::min(preview, limit));
}

std::string preview_to_source_text(double preview, int zoom) {
  if (zoom == 0) return "0";
  return decimal_text(preview / zoom * 100);
}

FrameSize region_frame_size(std::string& console_text) {
  // Every pass of the frame-size rule, its pixel-format rewrites first.
  const FrameSize stored = parse_frame_size(console_text);
  if (read_video_stream_line(console_text).rotation % 180 == 90) return {stored.height, stored.width};
  return stored;
}

std::string region_probe_command(const std::string& video_short_path) { return " -i \"" + video_short_path + "\""; }

std::string region_grab_command(const std::string& time, const std::string& video_short_path,
                                const std::string& frame_short_path) {
  // "-frames:v 1": the image2 writer takes one frame into one named file; without it
  // the converter refuses the second frame and the run fails.
  return " -ss " + time + " -i \"" + video_short_path + "\" -frames:v 1 -f image2 -y \"" + frame_short_path + "\"";
}

void start_region_timer(WindowToken window, const char* timer) {
  if (const std::shared_ptr<RegionEditorState> state = region_editor_state(window)) {
    state->start_trigger(window, timer);
  } else {
    gui().set_timer(window, timer, 1);
  }
}

// ------------------------------------------------------------------ tasks

void probe_region_video(WindowToken window, RegionEditorState& state) {
  const std::string video = gui().text({window, region_video_field});
  std::string console;
  const std::string path = command_path(video);
  if (!video.empty() && !path.empty()) {
    state.run_converter(region_probe_command(path), &console);
  }
  state.pause_at(RegionTaskPoint::probe_results);
  if (state.stopping()) return;

  const FrameSize size = region_frame_size(console);
  state.set_frame_size(size.width, size.height);

  std::string duration = text_between_markers(console, "Duration: ", ".");
  for (std::size_t at; (at = duration.find("\r\n")) != std::string::npos;) duration.erase(at, 2);
  const int seconds = duration_text_to_seconds(duration);
  const ControlRef slider{window, region_time_slider};
  gui().set_range(slider, gui().range(slider).x, seconds);
  gui().set_value(slider, seconds / 2);

  const int zoom = region_zoom_factor(window);
  const int width = static_cast<int>(static_cast<double>(size.width) * zoom / 100);
  const int height = static_cast<int>(static_cast<double>(size.height) * zoom / 100);
  state.set_frame_size(width, height);
  gui().set_size({window, region_preview}, width, height);
  const GuiPoint window_size = gui().window_size(window);
  gui().set_window_size(window, std::max(window_size.x, width + 50), std::max(window_size.y, height + 165));
  state.start_trigger(window, region_grab_timer);
}

void grab_region_frame(WindowToken window, RegionEditorState& state) {
  const RegionEditor& editor = state.editor();
  const ControlRef slider{window, region_time_slider};
  gui().set_enabled(slider, false);
  const std::string video = gui().text({window, region_video_field});
  const std::string time = format_seconds_hms(gui().value(slider));
  const std::string frame_file = run_folder.get() + editor.frame_file;
  {
    // Another window of the editor may be grabbing into the same file: wait for it, but
    // leave as soon as this window closes, so that closing it never waits for that grab.
    // Polled rather than a timed lock, which ThreadSanitizer cannot follow.
    std::unique_lock lock(editor.memory->frame_file_mutex, std::try_to_lock);
    while (!lock.owns_lock()) {
      if (state.stopping()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      lock.try_lock();
    }
    const std::string video_path = command_path(video);
    const std::string frame_path = command_path(frame_file);
    if (!video.empty() && !video_path.empty() && !frame_path.empty() && !state.stopping()) {
      state.run_converter(region_grab_command(time, video_path, frame_path));
    }
    const std::string bytes = read_file_bytes(frame_file).value_or(std::string());
    // The real file, never its alias: deleting an alias would remove only the link.
    delete_file(frame_file);
    if (state.stopping()) return;
    gui().set_picture({window, region_preview}, picture_from_bytes(bytes));
  }
  gui().set_enabled(slider, true);
  state.pause_at(RegionTaskPoint::grab_end);
  state.start_trigger(window, region_place_timer);
}

// ------------------------------------------------------------------ handlers

void bind_region_preview_handlers(WindowToken window, const RegionEditor& editor) {
  const auto made = std::make_shared<RegionEditorState>(editor);
  {
    std::lock_guard lock(states_mutex);
    editor_states()[window.id] = made;
  }
  // The tasks get the state itself: it lives until they have been joined.
  RegionEditorState* const state = made.get();
  for (const auto& [timer, task] : {std::pair{region_probe_timer, &probe_region_video},
                                    std::pair{region_grab_timer, &grab_region_frame}}) {
    gui().bind({window, timer}, EventKind::timer_tick, [state, timer, task](const GuiEvent& event) {
      const WindowToken w = event.target.window;
      state->run_trigger(w, timer, [w, state, task] { task(w, *state); });
    });
  }
  gui().bind({window, region_place_timer}, EventKind::timer_tick, [state](const GuiEvent& event) {
    const WindowToken w = event.target.window;
    state->run_trigger(w, region_place_timer, [w, state] { state->editor().place(w, *state); });
  });
  gui().bind({window, region_time_slider}, EventKind::slider_released, [state](const GuiEvent& event) {
    const WindowToken w = event.target.window;
    state->start_task([w, state] { grab_region_frame(w, *state); });
  });
  gui().bind({window, region_zoom_combo}, EventKind::selection_changed,
             [state](const GuiEvent& event) { state->start_trigger(event.target.window, region_probe_timer); });
  gui().bind({window, region_choose_button}, EventKind::clicked, [state](const GuiEvent& event) {
    const WindowToken w = event.target.window;
    const char* section = state->editor().settings_section;
    const std::string config = config_file_path.get();
    std::string folder = read_profile_text(config, section, region_video_folder_key);
    if (folder.empty()) folder = read_profile_text(config, region_fallback_section, region_fallback_key);
    const std::string chosen = choose_open_file(w, region_video_dialog_title, region_video_filter, folder);
    if (chosen.empty()) return;
    gui().set_text({w, region_video_field}, chosen);
    write_profile_text(config, section, region_video_folder_key, parent_folder(chosen));
    state->start_trigger(w, region_probe_timer);
  });
  gui().bind({window, region_open_folder_button}, EventKind::clicked, [](const GuiEvent& event) {
    const std::string video = gui().text({event.target.window, region_video_field});
    if (!video.empty()) gui_services().shell->shell_open(parent_folder(video));
  });
  gui().bind(window_ref(window), EventKind::destroyed, [](const GuiEvent& event) {
    const WindowToken w = event.target.window;
    const std::shared_ptr<RegionEditorState> gone = region_editor_state(w);
    if (!gone) return;
    // Only this window's tasks: other windows of the editor go on. The state stays
    // findable until they have been joined.
    gone->end_tasks();
    std::lock_guard lock(states_mutex);
    editor_states().erase(w.id);
  });
}
