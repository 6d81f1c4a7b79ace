#pragma once
// The edit page's options in the settings file: the 72 keys of section "批量剪辑视频"
// that `save_edit_settings` writes, how `load_edit_settings` reads each back, and when
// saving is allowed.
//
// A key is the letter of its control's kind and the number of the control's designer
// name: xN is check box 选择框N, yN edit box 编辑框N, zN combo box 组合框N; "ys" (the
// subtitle colour), "h1" (the compression slider) and "dd33" (the custom-command radio
// pair) are special. The merge page keeps "hbtitle", "zctx" and "zctx1" in the same
// section (ui/merge_settings.h); only their own handlers write them, never the save.
//
// This code reads and writes the settings and knows nothing of the option handlers:
// they call it. Start-up: the settings thread (a start-up task of the main window)
// reads the keys with their defaults and writes the controls through the control
// model, fills the merge page's transition combo on the way, then hands over to the UI
// thread, which marks the load finished and runs what was installed to follow it
// (set_settings_load_followup: the edit options install their apply there). That apply
// ends with the run's first save.
//
// Nothing is saved before then: until the load has been applied, `save_edit_settings`
// writes nothing, so an option click, a change of the edit list or an early close
// during the load never puts the controls' designed state over the user's file. "z1"
// (the subtitle font) keeps the font remembered at start (subtitle_font_name) until the
// font list has been filled and its item selected.
//
// A value holding a line break is never written: the store refuses it and the key keeps
// its old value.

#include <functional>
#include <string>
#include <vector>

#include "platform/gui/gui.h"

inline constexpr const char* edit_settings_section = "批量剪辑视频";

// How a key's value is kept.
enum class EditSettingKind {
  check,           // check box: "y" when checked, else "n"; read: checked exactly for "y"
  text,            // edit box: its text; read: the text
  select,          // drop-down combo: its text; read: the first item beginning with the value
                   // (ASCII letters without regard to case); none: the selection stays
  combo_text,      // editable combo: its text; read: the text as it is
  colour,          // colour picker: the colour number (0x00BBGGRR) in decimal; read: the
                   // number at the value's start (full-width digits count), 0 when there is
                   // none or it is no colour
  font,            // the subtitle font combo: written only (see "z1" above)
  two_way,         // combo of two items: exactly `match` selects that item, anything else
                   // the item `otherwise`
  percent_select,  // combo of percentages: a value holding "%" reads as `select`, any other
                   // selects the item `otherwise`
  slider,          // slider position in decimal; read: the number's whole part when it lies
                   // in 1 to 20, else 10
  radio_pair,      // "a" when the radio `role` is checked, else "b"; read: exactly "a" checks
                   // `role`, anything else `other_role`
};

struct EditSettingKey {
  const char* key;
  const char* role;  // the control (for a radio pair: the radio that "a" checks)
  EditSettingKind kind;
  const char* default_value;    // what a missing key reads as
  const char* match = "";       // two_way: the value that selects itself
  const char* otherwise = "";   // two_way, percent_select: the item any other value selects
  const char* other_role = "";  // radio_pair: the radio that any other value checks
};

// The 72 keys in the order the save writes them.
const std::vector<EditSettingKey>& edit_setting_keys();

// The row of a key, or nullptr.
const EditSettingKey* find_edit_setting_key(const std::string& key);

// The key order of the load: every key of the table but "z1" and "x36", in the order
// the load reads them before the merge page's keys; "x36" comes after those.
const std::vector<std::string>& edit_settings_load_order();

// Writes the 72 keys from the controls of the main window in one batched write, every
// time, without comparing with what is stored. Does nothing until the settings load of
// that window has been applied. UI thread.
void save_edit_settings();

// The settings load: reads the keys and writes the controls of the main window as the
// kinds above say, fills the transition combo and restores the merge page's keys, and
// posts the apply to the UI thread. Runs on the settings thread; leaves early when
// shutdown begins.
void load_edit_settings();

// True once the settings load of the current main window has been applied.
bool edit_settings_loaded();

// Writes one of the merge page's keys (ui/merge_settings.h) at once, alone; nothing
// until the settings load of the main window has been applied.
void save_merge_setting(const char* key, const std::string& value);

// Installs what runs on the UI thread right after the settings load has been applied
// (the edit options install their apply). Until one is installed nothing follows the
// load. Replaces an earlier one; an empty function removes it.
void set_settings_load_followup(std::function<void()> followup);

// Sets the settings load as the main window's settings start-up task, and
// `save_edit_settings` as the save that shutdown makes and as the save the dialogs ask
// for (engine/edit/edit_settings_saver.h).
void bind_edit_settings(WindowToken window);
