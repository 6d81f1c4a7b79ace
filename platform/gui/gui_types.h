#pragma once
// Small value types of the control model: window tokens, control references,
// geometry, colours, pictures, list rows, menu items, animation objects, key codes.
//
// Every type here is a plain value: copying one never touches the model, and none
// holds a pointer into it. Windows are named by tokens, controls by a window token
// and a role name, list rows by a stable row id.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Names one window of the model. Tokens are never reused within a process, so a
// token of a destroyed window stays invalid for good: writes through it are dropped
// and reads give defaults. The default token (id 0) names no window.
struct WindowToken {
  std::uint64_t id = 0;
  explicit operator bool() const { return id != 0; }
  friend bool operator==(const WindowToken&, const WindowToken&) = default;
  friend auto operator<=>(const WindowToken&, const WindowToken&) = default;
};

// Names one control: the window's token and the control's role name (the name the
// code uses, e.g. "convert_list"). The empty role names the window itself, which is
// how window events (created, may-close, resized, tray, window key and mouse events)
// are bound. Timers are named by a role of their own in the same window (see
// GuiModel::set_timer).
struct ControlRef {
  WindowToken window;
  std::string role;
  friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

// The window itself as a ControlRef (role "").
inline ControlRef window_ref(WindowToken window) { return ControlRef{window, {}}; }

struct GuiPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const GuiPoint&, const GuiPoint&) = default;
};

// A control's geometry in pixels: left and top relative to its container's top-left
// corner (the window's client area, a group box's frame corner, a tab page's corner,
// a picture box or animation box), then width and height.
struct GuiRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const GuiRect&, const GuiRect&) = default;
};

// Colours are the original platform's colour values: red + green * 256 + blue * 65536
// (0x00BBGGRR). These helpers build and take them apart.
using GuiColour = std::uint32_t;
constexpr GuiColour make_colour(int red, int green, int blue) {
  return static_cast<GuiColour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int colour_red(GuiColour c) { return static_cast<int>(c & 0xFF); }
constexpr int colour_green(GuiColour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int colour_blue(GuiColour c) { return static_cast<int>((c >> 16) & 0xFF); }

// A picture as the model holds it. Pictures are immutable once made and shared
// between copies (copying a GuiPicture copies two pointers).
//
// `rgba` holds the decoded pixels, 4 bytes per pixel (red, green, blue, alpha), rows
// top to bottom, when the picture could be decoded here (PNG and JPEG, see
// platform/gui/picture.h); `encoded` holds the file bytes the picture was made from,
// when it was made from bytes, so that a view can decode formats the model does not
// (for example GIF, also animated). width and height are those of the decoded
// pixels, 0 when not decoded. A picture with neither is "no picture". (The decoder's
// own result type is `Picture` of platform/picture.h; this is the control's copy.)
struct GuiPicture {
  int width = 0;
  int height = 0;
  std::shared_ptr<const std::vector<std::uint8_t>> rgba;
  std::shared_ptr<const std::vector<std::uint8_t>> encoded;

  bool empty() const { return (!rgba || rgba->empty()) && (!encoded || encoded->empty()); }
  bool decoded() const { return rgba && !rgba->empty() && width > 0 && height > 0; }
  friend bool operator==(const GuiPicture& a, const GuiPicture& b) {
    return a.width == b.width && a.height == b.height && a.rgba == b.rgba && a.encoded == b.encoded;
  }
};

// A font choice for a control. An empty family and size 0 mean the view's default.
struct GuiFont {
  std::string family;
  int point_size = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  friend bool operator==(const GuiFont&, const GuiFont&) = default;
};

enum class TextAlign { left, centre, right };

// One column of a report-style list view.
struct ListColumn {
  std::string title;
  int width = 100;
  friend bool operator==(const ListColumn&, const ListColumn&) = default;
};

// A row's identity in its list: unique within the process, given when the row is
// added and never reused. It survives deletions of other rows and moves, so a worker
// thread can keep writing to the row it started with (GuiModel::set_cell_by_id). 0
// names no row.
using RowId = std::uint64_t;

// One row of a list view, as reads return it.
struct ListRow {
  RowId id = 0;
  std::vector<std::string> cells;  // one text per column
  bool checked = false;
  bool selected = false;
  friend bool operator==(const ListRow&, const ListRow&) = default;
};

// Where a new row landed: its index at the time it was added, and its id.
struct RowRef {
  int index = -1;
  RowId id = 0;
};

// The ids of a list's rows from index `first` on, as a view that mirrors the list
// reads them (GuiModel::row_ids_since). `version` counts the changes of the rows
// other than appending at the end: while it stays the same, rows were only appended.
struct ListRowIds {
  std::uint64_t version = 0;
  int first = 0;
  std::vector<RowId> ids;
};

// A list's selected rows as runs of adjacent indexes (first, last), ascending, with
// the version and row count they belong to (GuiModel::list_selection).
struct ListSelection {
  std::uint64_t version = 0;
  int count = 0;
  std::vector<std::pair<int, int>> ranges;
};

// One item of a pop-up menu. A separator has no text and cannot be chosen.
struct MenuItem {
  std::string text;
  bool separator = false;
  bool enabled = true;
  bool checked = false;
  friend bool operator==(const MenuItem&, const MenuItem&) = default;

  static MenuItem make_separator() { return MenuItem{{}, true, false, false}; }
};

// One picture object of an animation box, placed from a template (ControlKind::
// animation_template). Position and size are in the box's pixels; `scale` is the
// drawing scale in thousandths of the picture's own size (1000 = own size).
struct AnimationObject {
  int id = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int scale = 1000;
  bool visible = true;
  GuiPicture picture;
  friend bool operator==(const AnimationObject&, const AnimationObject&) = default;
};

// Key codes of key events are the original platform's virtual-key codes (letters
// are their upper-case ASCII codes, digits their ASCII codes); the view maps its
// toolkit's keys to these.
namespace key_codes {
constexpr int backspace = 8;
constexpr int tab = 9;
constexpr int enter = 13;
constexpr int shift = 16;
constexpr int control = 17;
constexpr int alt = 18;
constexpr int escape = 27;
constexpr int space = 32;
constexpr int page_up = 33;
constexpr int page_down = 34;
constexpr int end = 35;
constexpr int home = 36;
constexpr int left = 37;
constexpr int up = 38;
constexpr int right = 39;
constexpr int down = 40;
constexpr int insert = 45;
constexpr int delete_key = 46;
constexpr int a = 65;
constexpr int c = 67;
constexpr int v = 86;
constexpr int x = 88;
constexpr int f1 = 112;  // f2 .. f12 follow
}  // namespace key_codes

// Modifier mask of key events: the bits are Ctrl 1, Shift 2, Alt 4.
namespace key_modifiers {
constexpr int none = 0;
constexpr int ctrl = 1;
constexpr int shift = 2;
constexpr int alt = 4;
}  // namespace key_modifiers

// Mouse buttons of mouse events (a mask when several are held).
namespace mouse_buttons {
constexpr int none = 0;
constexpr int left = 1;
constexpr int right = 2;
constexpr int middle = 4;
}  // namespace mouse_buttons
