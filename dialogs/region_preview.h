#pragma once
// What the region editors of the edit page share: the crop editor, the mosaic editor
// and the picture-position editor each show a real frame of a video in a preview,
// scaled by a zoom factor, and lay their region marker over it.
//
// The pipeline of one editor window:
// - probe: the converter reads the chosen video ("-i" alone); its console text gives
//   the frame size (of the picture as it shows: a quarter turn of a phone's video
//   swaps it, region_frame_size) and the duration; the time slider gets the duration as its maximum
//   and half of it as its position; the frame size becomes the preview size (times the
//   zoom factor), the preview takes that size and the window grows to fit (never
//   shrinks); then the grab starts;
// - grab: the converter writes the frame at the slider's time into the editor's frame
//   file under the run folder's bin folder; the file is decoded into the preview and
//   deleted; then the place task starts;
// - place: the editor's own task lays its marker over the preview.
// Each step runs on a thread of its own, started through a one-shot timer of 1 ms
// (the slider's release starts a grab at once), so no handler waits for the
// converter. None of these commands carries the global converter options.
//
// Values live in the editor's value boxes in source-video pixels; the preview and the
// marker in preview pixels. Source to preview multiplies by the zoom factor / 100 and
// truncates; preview to source divides and is written with at most 13 significant
// digits, so a fraction stays in the text.
//
// Threads: the tasks write the editor's controls through the control model. Each
// editor window keeps the tasks it starts until they have been joined. When the window
// is destroyed its tasks are asked to stop (they write nothing more and start no
// further converter run), the converter runs they wait for are ended (by process id,
// through the registry of the program's converter processes), and the tasks are
// joined, so none outlives the window; another window of the same editor goes on
// untouched. The frame file is written, read and deleted by one grab at a time.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/converter/frame_size.h"
#include "platform/gui/gui.h"

// Roles every region editor has.
inline constexpr const char* region_video_field = "region_video_field";
inline constexpr const char* region_choose_button = "region_choose_button";
inline constexpr const char* region_open_folder_button = "region_open_folder_button";
inline constexpr const char* region_left_field = "region_left_field";
inline constexpr const char* region_top_field = "region_top_field";
inline constexpr const char* region_width_field = "region_width_field";
inline constexpr const char* region_height_field = "region_height_field";
inline constexpr const char* region_time_slider = "region_time_slider";
inline constexpr const char* region_save_button = "region_save_button";
inline constexpr const char* region_zoom_combo = "region_zoom_combo";
inline constexpr const char* region_preview = "region_preview";
inline constexpr const char* region_probe_timer = "region_probe_timer";
inline constexpr const char* region_grab_timer = "region_grab_timer";
inline constexpr const char* region_place_timer = "region_place_timer";

inline constexpr const char* region_video_dialog_title = "选择一个视频文件";
inline constexpr const char* region_video_filter = "视频文件|*.mp4;*.wmv;*.flv;*.ts;*.mov;*.mkv;*.avi";
// The key of the folder of the video last chosen in an editor, in the editor's section.
inline constexpr const char* region_video_folder_key = "视频位置";
// Where the open dialog starts when the editor has no folder of its own yet.
inline constexpr const char* region_fallback_section = "原视频";
inline constexpr const char* region_fallback_key = "打开位置4";

// What the windows of one editor share, program-wide: the frame size its last probe
// left (the preview size, see RegionEditorState), where its next window starts from,
// and the lock of its frame file, which all its windows grab into.
struct RegionEditorMemory {
  std::atomic<int> frame_width{0};
  std::atomic<int> frame_height{0};
  // Held by a grab while it writes, reads and deletes the frame file.
  std::mutex frame_file_mutex;
};

class RegionEditorState;

// One region editor's fixed data.
struct RegionEditor {
  const char* settings_section;  // section of "视频位置"
  const char* frame_file;        // under the run folder, e.g. "/bin/xy.jpg"
  RegionEditorMemory* memory;
  void (*place)(WindowToken window, RegionEditorState& state);  // the editor's place task
};

// Where a task may be held by a test (RegionEditorState::set_test_pause).
enum class RegionTaskPoint {
  probe_results,  // the probe has run the converter and not yet written what it found
  grab_end,       // the grab has shown its frame and not yet started the place task
};

// The state of one editor window: its frame size and its tasks. Every window of an
// editor has its own, so that closing one ends only that window's tasks and the
// windows' frame sizes never mix.
class RegionEditorState {
 public:
  // Starts from the frame size the editor's last probe left.
  explicit RegionEditorState(const RegionEditor& editor);
  // Ends what is still running.
  ~RegionEditorState() { end_tasks(); }
  RegionEditorState(const RegionEditorState&) = delete;
  RegionEditorState& operator=(const RegionEditorState&) = delete;

  // First the probed frame size in source pixels, from the end of each probe on the
  // preview size, which the save check and the markers use.
  std::atomic<int> frame_width{0};
  std::atomic<int> frame_height{0};
  // Sets the window's frame size and the editor's remembered one.
  void set_frame_size(int width, int height);

  // The marker of an editor whose marker is an object of its animation-box preview
  // (the picture-position editor's overlay): the object's id (0 before the first
  // placement) and whether it is being dragged (0 or 1).
  std::atomic<int> marker_object{0};
  std::atomic<int> marker_dragging{0};

  // Starts `task` on a thread of its own and keeps it; nothing once the tasks are
  // being ended.
  void start_task(std::function<void()> task);
  // Starts the one-shot timer `timer` of `window` (interval 1 ms); from now until its
  // tick has started the task (run_trigger), that task counts as work due.
  void start_trigger(WindowToken window, const std::string& timer);
  // The tick of `timer`: stops it and starts `task`, in one step with the accounting.
  void run_trigger(WindowToken window, const std::string& timer, std::function<void()> task);
  // True once the window's tasks are being ended: a task leaves at its next check.
  bool stopping() const { return stopping_; }
  // Runs the converter with `command` for a task (console text into `console_text`
  // when given); nothing once the tasks are being ended.
  void run_converter(const std::string& command, std::string* console_text = nullptr);
  // Asks every task to stop, ends the converter runs they are waiting for, and joins
  // them all; no task starts afterwards. UI thread.
  void end_tasks();
  // The number of tasks started and not yet finished.
  int running_tasks() const;
  // No task runs and none is due through a started trigger: nothing more will change
  // the window until the user or the program asks for something. Read in one step.
  bool idle() const;

  // Test seam: `pause` is called by the window's tasks at the points named above (on
  // their own thread), so a test can hold a task there to fix an ordering.
  void set_test_pause(std::function<void(RegionTaskPoint)> pause);
  void pause_at(RegionTaskPoint point) const;

  const RegionEditor& editor() const { return editor_; }

 private:
  struct Task {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
  };
  void start_task_locked(std::function<void()> task);

  const RegionEditor editor_;
  mutable std::mutex tasks_mutex_;
  std::vector<Task> tasks_;
  std::set<std::string> due_triggers_;
  std::vector<int> converter_ids_;  // the tasks' running converters
  std::atomic<bool> stopping_{false};
  std::function<void(RegionTaskPoint)> test_pause_;
};

// The state of a region editor window (made when its handlers are bound, released
// once the window is destroyed and its tasks have ended); nothing for another window.
std::shared_ptr<RegionEditorState> region_editor_state(WindowToken window);

// The controls every region editor has, at their designed places in a 950 x 650
// window: the step labels, the video field and its buttons, the four value boxes
// (the width and height boxes only when `with_size_fields`), the time slider, the
// zoom combo ("100%" selected), the save button, the 904 x 496 preview (a picture
// box, or an animation box when `animation_preview`).
std::vector<ControlSpec> region_editor_controls(const std::string& first_step, const std::string& second_step,
                                                const std::string& left_caption, bool with_size_fields,
                                                bool animation_preview = false);

// Makes the window's editor state and binds the shared handlers: the three timers,
// the slider's release, the zoom combo, the choose and open-folder buttons, and the
// window's destroyed event, which ends the window's tasks and releases its state.
void bind_region_preview_handlers(WindowToken window, const RegionEditor& editor);

// The zoom factor: the number of the zoom combo's text with every "%" removed.
int region_zoom_factor(WindowToken window);

// The most digits a value box takes from the keyboard: a frame is never wider or
// higher than 99999 pixels. The program may write longer texts (fractions, or what
// the edit page's fields hold).
inline constexpr int region_value_max_digits = 5;

// Source pixels (the number at the start of `text`) to preview pixels, truncated, as
// a double: any number the text holds, without overflow.
double source_to_preview_exact(const std::string& text, int zoom);
// The same as a control coordinate: limited to +-1000000 preview pixels, far beyond
// any frame, so that no value can overflow into another one.
int source_to_preview(const std::string& text, int zoom);
// Preview pixels to source pixels as decimal text (at most 13 significant digits).
std::string preview_to_source_text(double preview, int zoom);

// The frame size an editor works in, from the console text of its probe: the size the
// frame-size rule reads (parse_frame_size, every pass; its pixel-format rewrites stay
// in `console_text`), with width and height swapped when the video carries a quarter
// turn (rotation metadata of 90 or 270 degrees, as a phone writes it). The converter
// grabs such a frame upright, and the edit job's first work file holds the picture
// upright, so the preview, the captions, the save check and the values handed to the
// edit page all go by the picture as it shows. Pixels that are not square keep their
// stored size: the grab and the work file keep it too, with the pixels' shape beside.
FrameSize region_frame_size(std::string& console_text);

// The command lines of the probe and the grab, given the short paths of the video and
// the frame file and the time as HH:MM:SS.
std::string region_probe_command(const std::string& video_short_path);
std::string region_grab_command(const std::string& time, const std::string& video_short_path,
                                const std::string& frame_short_path);

// The tasks of an editor window, on the calling thread.
void probe_region_video(WindowToken window, RegionEditorState& state);
void grab_region_frame(WindowToken window, RegionEditorState& state);

// Starts a one-shot timer of the editor window (interval 1 ms), counted as work due
// (RegionEditorState::start_trigger).
void start_region_timer(WindowToken window, const char* timer);
