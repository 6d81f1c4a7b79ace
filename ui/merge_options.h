#pragma once
// The merge page's options: the transition between the two joined parts (a box and a
// combo of "随机特效" and the transition labels, engine/transition_table.h) and the
// source whose file name titles each output (two radios).
//
// Their settings live in section "批量剪辑视频" and are written only by the handlers
// here, at once, one key each: "hbtitle" ("a" title from source 1, "b" from source 2),
// "zctx" ("a" transition on, "b" off) and "zctx1" (the combo's selected index). The
// settings load restores them (ui/edit_settings.h); before it has been applied the
// handlers write nothing, so a click during the load cannot put an unfilled combo's
// index over the stored one.
//
// The two merge-all boxes are kept nowhere: they start unchecked at every start. Their
// clicks recount the merge outputs, which the job lists own.

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

// The merge-all boxes clicked: the merge outputs are recounted (ui/list_counts.h).
void on_merge_all_list1_clicked();
void on_merge_all_list2_clicked();

// Binds the transition box and combo and the title radios.
void bind_merge_option_handlers(WindowToken window);

// Handlers (UI thread).
void on_transition_option_clicked();
void on_transition_combo_changed();
void on_title_from_source1_clicked();
void on_title_from_source2_clicked();
