#pragma once
// The transitions the merge job and the edit job's random transition join two parts
// with: the converter's "xfade" transition names and the labels the merge page's
// combo box shows, a constant table ready before any job starts.
//
// Rows are numbered from 1 to `transition_count`. The merge page's combo lists
// `random_transition_item` at index 0 and the label of row k at index k, so a combo
// index from 1 to `transition_count` is the row number itself.

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct TransitionRow {
  std::string_view name;   // the value of xfade's "transition" option
  std::string_view label;  // what the user sees
};

inline constexpr int transition_count = 31;

// Row k is `transition_rows[k - 1]`.
inline constexpr std::array<TransitionRow, transition_count> transition_rows = {{
    {"fade", "渐变渐入"},       {"fadeblack", "渐黑切换"},   {"fadewhite", "渐白切换"},
    {"distance", "溶入切换"},   {"wipeleft", "向左擦入"},    {"wiperight", "向右擦入"},
    {"wipeup", "向上擦入"},     {"wipedown", "向下擦入"},    {"slideleft", "向左滑动"},
    {"slideright", "向右滑动"}, {"slideup", "向上滑动"},     {"slidedown", "向下滑动"},
    {"smoothleft", "向左渐入"}, {"smoothright", "向右渐入"}, {"smoothup", "向上渐入"},
    {"smoothdown", "向下渐入"}, {"circlecrop", "圆形扩展"},  {"rectcrop", "方形扩展"},
    {"circleclose", "圆形渐入"}, {"circleopen", "圆形渐出"}, {"horzclose", "水平渐入"},
    {"horzopen", "水平渐出"},   {"vertclose", "垂直渐入"},   {"vertopen", "垂直渐出"},
    {"diagbl", "右上渐入"},     {"diagbr", "左上渐入"},      {"diagtl", "右下渐入"},
    {"diagtr", "左下渐入"},     {"dissolve", "溶解切换"},    {"pixelize", "像素化"},
    {"radial", "指针效果"},
}};

// Item 0 of the merge page's transition combo: a row drawn at random.
inline constexpr const char* random_transition_item = "随机特效";

// The transition name of row `row` (1 to `transition_count`); "" for any other number.
std::string transition_name(int row);

// The display label of row `row`; "" for any other number.
std::string transition_label(int row);

// All names, in row order (element 0 is row 1).
std::vector<std::string> transition_names();

// All labels, in row order (element 0 is row 1).
std::vector<std::string> transition_labels();

// The name of a row drawn from 1 to `transition_count` with equal chances, anew at
// every call.
std::string random_transition_name();

// The transition a selected combo index stands for: the name of row `index` for 1 to
// `transition_count`; a random row for 0 ("随机特效") and for anything else (no
// selection, or an index from a hand-edited settings file), so the table is never
// indexed outside its rows.
std::string transition_for_combo_index(int index);

// The items of the merge page's transition combo: `random_transition_item`, then the
// labels in row order.
std::vector<std::string> transition_combo_items();
