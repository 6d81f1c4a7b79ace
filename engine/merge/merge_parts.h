#pragma once
// The two parts of a merge pair (`MergePart`): the first part from one row of
// `merge_list1` or from the whole list joined, the second part from one row of
// `merge_list2` or from that whole list joined. Every listed source is re-encoded
// ("-vcodec h264") into a numbered ".mkv" of the side's work folder; the second side's
// files, and every file after the first of a first side joined whole, are brought to
// the first part's frame size ("a.mkv": fitted inside it and padded, see
// `merge_scale_command`); a whole side is joined by the converter's
// concat list "filelist.txt" into "output.mkv". The duration column of the rows read
// is filled on the way (a second-side row keeps a duration it already has), read from
// the console text of each source's re-encode.
//
// A part counts as made only when each of its commands exited 0 and left a file that
// is not empty; a side stops at its first file that fails.
//
// Every file joined after a first one is also brought to the sound (sample rate and
// channels) and the frame rate of the first part's first file where they differ, so
// that the joins by stream copy stay whole (see `MergePartMatch`): the second side's
// files with the scaling (a file that needs no scaling but differs in sound or frame
// rate is made into its "a.mkv" all the same), the first side's later files with the
// scaling they always get.

#include <string>
#include <vector>

#include "engine/converter/frame_size.h"
#include "engine/merge/merge_commands.h"
#include "platform/gui/gui_types.h"

// What the job holds while it runs.
struct MergeJobState {
  WindowToken window;
  std::string first_folder;   // T1: run folder + "/v_temp1/"
  std::string pair_folder;    // T2: run folder + "/v_temp2/"
  std::vector<RowId> rows1;   // the rows of `merge_list1` at the start
  std::vector<RowId> rows2;   // the rows of `merge_list2` at the start
  std::vector<std::string> listed_sources;  // column 1 of both lists at the start
  std::string title;          // the output's title; "" until a title radio sets it
  // The transition's offset in the first part P1 once a transition needed it (P1 stays
  // the same for every pair of an outer pass), and the P1 it belongs to.
  int first_part_offset = 0;
  std::string first_part_offset_of;
};

struct MergePart {
  std::string file;        // P1 or P2; "" when the part could not be made
  FrameSize size;          // the first part's frame size W1 x H1 as written (first side only)
  std::string frame_rate;  // the frame rate of the side's first file, "" when unknown
  bool uniform_rate = true;  // every file of the side has that rate
  MergeSound sound;        // the sound of the side's first file (first side only)
  std::string work_name;   // the file name without extension of the side's last source
};

// Runs one command on `ffmpeg_exe_path` without a progress callback; with
// `with_console` the console text goes into `ffmpeg_output`. The exit status; -1 when
// the command is empty (a path that cannot be written into it) or nothing ran.
int run_merge_command(const std::string& command, bool with_console = false);

// True when `path` is a file that is not empty.
bool file_has_content(const std::string& path);

// P1 for outer index `i`: row i of list 1, or the whole list.
MergePart make_first_merge_part(MergeJobState& state, int i, bool whole_list);

// P2 for inner index `j`: row j of list 2, or the whole list; scaled to `first.size`.
MergePart make_second_merge_part(MergeJobState& state, int j, bool whole_list, const MergePart& first);
