#pragma once
// The output of one merge pair: the two parts joined by the converter's concat list
// "list.txt" into the pair's joined file (streams copied), optionally with a one-second
// "xfade" transition at the joint that keeps the joined sound, for mp4 with a
// transition a cover picture (the result's frame at one second, attached), and the
// result copied into the merge page's output folder as i_j_title.format. The pair's
// work folder is removed at the end.
//
// The per-file half of the progress strip tells the pair's result, and tells success
// only once the output exists, is not empty and has a duration the converter reads
// (that last check runs beside the next pair's parts, see `MergePairVerdict`):
// "100 %" (or the cover steps' "100%")
// for a pair that was written; otherwise `merge_status_failed`, or
// `merge_status_output_is_source` when the output would replace a listed source (the
// pair is then not run), or `merge_status_unusable_path` when the output folder is
// empty. During the final stream copy it shows the percentage of the joined file's
// duration; the cover steps write "10%", "20%", "30%" and "50%" as they go.
//
// Every step is checked: a command that exits with an error or leaves no file ends the
// pair as failed, so a failed transition never leaves the plain join behind as the
// output.

#include <future>
#include <string>

#include "engine/merge/merge_parts.h"

inline constexpr const char* merge_status_failed = "合并失败";
inline constexpr const char* merge_status_output_is_source = "输出会覆盖原视频";
inline constexpr const char* merge_status_unusable_path = "路径无法使用";

// The name the pair's joined file gets in the pair folder: `stem` (the file name of the
// second side's last source), with "_" added while it would name a file the pair
// already holds or one of its later work files ("k5pw", "velmon"), so the join never
// writes onto one of its own inputs.
std::string merge_pair_work_name(const std::string& stem, const std::string& pair_folder);

// The last check of a written pair: the converter reads its output back, on a thread
// of its own, while the job goes on with the next pair's parts; until the check has
// told, the strip keeps the pair's last percentage. `show` waits for the check, shows
// the pair's result (its success label for a video the converter reads, else
// `merge_status_failed`) and tells it. A verdict of a pair that failed before its
// output was written shows nothing (the pair showed its failure) and tells `failed`. A
// verdict that was never started, or was told, tells `none`; one that goes away
// unshown is shown first.
class MergePairVerdict {
 public:
  enum class Result { none, written, failed };

  MergePairVerdict() = default;
  MergePairVerdict(WindowToken window, const std::string& output, std::string success_label);
  MergePairVerdict(MergePairVerdict&&) = default;
  MergePairVerdict& operator=(MergePairVerdict&& other);
  ~MergePairVerdict();
  static MergePairVerdict failure();
  Result show();

 private:
  WindowToken window_;
  std::string success_label_;
  std::future<bool> readable_;
  bool failed_ = false;
};

// Makes the output of pair (i, j) from `first` and `second` (either may be unmade) and
// removes the pair folder. A written output's read-back is left pending in the verdict;
// a pair that failed before shows its result at once and gives `MergePairVerdict::failure`.
MergePairVerdict make_merge_pair_output(MergeJobState& state, const MergePart& first, const MergePart& second,
                                        int i, int j);
