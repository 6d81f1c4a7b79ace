#pragma once
// The merge page's options: the transition between the two joined parts (a box and a
// combo of "随机特效" and the transition labels, engine/common/transition_table.h) and the
// source whose file name titles each output (two radios).
//
// Their settings live in section "批量剪辑视频" (the keys and how the settings load
// restores them: ui/merge_settings.h) and are written only by the handlers here, at
// once, one key each (save_merge_setting, ui/edit_settings.h). Before the load has been
// applied nothing is written, so a click during the load cannot put an unfilled combo's
// index over the stored one.
//
// The two merge-all boxes are kept nowhere: they start unchecked at every start. Their
// clicks recount the merge outputs, which the job lists own.

#include "platform/gui/gui.h"
#include "ui/merge_settings.h"

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
