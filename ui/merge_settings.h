#pragma once
// The merge page's keys in the settings file and how the settings load restores them.
// They live in section "批量剪辑视频" beside the edit page's keys (ui/edit_settings.h),
// but the save of the edit page never writes them: each is written at once by the
// handler of its control on the merge page, one key each: "hbtitle" ("a" title from
// source 1, "b" from source 2), "zctx" ("a" transition on, "b" off) and "zctx1" (the
// transition combo's selected index).

#include <string>

#include "platform/gui/gui.h"

inline constexpr const char* merge_title_key = "hbtitle";
inline constexpr const char* merge_transition_key = "zctx";
inline constexpr const char* merge_transition_index_key = "zctx1";

// The combo index a stored "zctx1" stands for: the whole part of its number when that
// is a combo index (0 "随机特效" to 31), else 0.
int transition_index_from_setting(const std::string& value);

// Settings load (any thread): exactly "a" checks the source-1 radio, anything else the
// source-2 radio.
void restore_merge_title(WindowToken window, const std::string& value);

// Settings load (any thread): the transition combo's items, "随机特效" and then the labels
// in table order.
void fill_merge_transition_combo(WindowToken window);

// Settings load (any thread), after the combo has been filled: exactly "a" checks the
// transition box, anything else unchecks it; the combo selects
// transition_index_from_setting(index_value).
void restore_merge_transition(WindowToken window, const std::string& on_value, const std::string& index_value);
