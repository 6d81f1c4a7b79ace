#include "platform/gui/headless_services.h"

GuiServices HeadlessServices::services() {
  GuiServices s;
  s.message_boxes = this;
  s.file_dialogs = this;
  s.balloons = this;
  s.tray = this;
  s.popup_menus = this;
  s.clipboard = this;
  s.shell = this;
  s.cursor = this;
  s.control_drag = this;
  return s;
}

namespace {
template <class T>
bool take_front(std::deque<T>& queue, T& out) {
  if (queue.empty()) return false;
  out = std::move(queue.front());
  queue.pop_front();
  return true;
}
}  // namespace

MessageAnswer HeadlessServices::show_message(const MessageRequest& request) {
  std::lock_guard lock(mutex_);
  messages_.push_back(request);
  if (request.buttons == MessageButtons::ok) return MessageAnswer::ok;  // takes no scripted answer
  MessageAnswer answer{};
  if (!take_front(message_answers_, answer) || answer == MessageAnswer::ok) return MessageAnswer::no;
  return answer;
}

std::vector<std::string> HeadlessServices::choose_open_files(const OpenFileRequest& request) {
  std::lock_guard lock(mutex_);
  open_file_requests_.push_back(request);
  std::vector<std::string> paths;
  take_front(open_file_answers_, paths);
  if (!request.multi_select && paths.size() > 1) paths.resize(1);
  return paths;
}

std::string HeadlessServices::choose_folder(const FolderRequest& request) {
  std::lock_guard lock(mutex_);
  folder_requests_.push_back(request);
  std::string folder;
  take_front(folder_answers_, folder);
  return folder;
}

std::optional<GuiColour> HeadlessServices::choose_colour(const ColourRequest& request) {
  std::lock_guard lock(mutex_);
  colour_requests_.push_back(request);
  std::optional<GuiColour> colour;
  take_front(colour_answers_, colour);
  return colour;
}

void HeadlessServices::show_balloon(const BalloonRequest& request) {
  std::lock_guard lock(mutex_);
  balloons_.push_back(request);
}

bool HeadlessServices::tray_available() {
  std::lock_guard lock(mutex_);
  return tray_available_;
}

bool HeadlessServices::show_tray_icon(const TrayIconRequest& request) {
  std::lock_guard lock(mutex_);
  if (!tray_available_) return false;
  for (auto& icon : tray_icons_) {
    if (icon.window == request.window) {
      icon = request;
      return true;
    }
  }
  tray_icons_.push_back(request);
  return true;
}

void HeadlessServices::remove_tray_icon(WindowToken window) {
  std::lock_guard lock(mutex_);
  std::erase_if(tray_icons_, [&](const TrayIconRequest& r) { return r.window == window; });
}

int HeadlessServices::popup_menu(const PopupMenuRequest& request) {
  std::lock_guard lock(mutex_);
  popup_menus_.push_back(request);
  int index = -1;
  take_front(popup_answers_, index);
  if (index < 0 || index >= static_cast<int>(request.items.size())) return -1;
  const MenuItem& item = request.items[static_cast<std::size_t>(index)];
  return item.separator || !item.enabled ? -1 : index;
}

std::string HeadlessServices::clipboard_text() {
  std::lock_guard lock(mutex_);
  return clipboard_;
}

void HeadlessServices::set_clipboard_text(const std::string& text) {
  std::lock_guard lock(mutex_);
  clipboard_ = text;
}

void HeadlessServices::clear_clipboard() {
  std::lock_guard lock(mutex_);
  clipboard_.clear();
}

bool HeadlessServices::shell_open(const std::string& target) {
  std::lock_guard lock(mutex_);
  opened_.push_back(target);
  return !target.empty();
}

void HeadlessServices::set_cursor_shape(CursorShape shape) {
  std::lock_guard lock(mutex_);
  cursor_shapes_.push_back(shape);
}

GuiPoint HeadlessServices::cursor_position() {
  std::lock_guard lock(mutex_);
  return cursor_;
}

std::optional<GuiRect> HeadlessServices::drag_control(const ControlDragRequest& request) {
  std::lock_guard lock(mutex_);
  drags_.push_back(request);
  std::optional<GuiRect> geometry;
  take_front(drag_answers_, geometry);
  return geometry;
}

void HeadlessServices::answer_message(MessageAnswer answer) {
  std::lock_guard lock(mutex_);
  message_answers_.push_back(answer);
}
void HeadlessServices::answer_open_files(std::vector<std::string> paths) {
  std::lock_guard lock(mutex_);
  open_file_answers_.push_back(std::move(paths));
}
void HeadlessServices::answer_folder(std::string folder) {
  std::lock_guard lock(mutex_);
  folder_answers_.push_back(std::move(folder));
}
void HeadlessServices::answer_colour(std::optional<GuiColour> colour) {
  std::lock_guard lock(mutex_);
  colour_answers_.push_back(colour);
}
void HeadlessServices::answer_popup_menu(int index) {
  std::lock_guard lock(mutex_);
  popup_answers_.push_back(index);
}
void HeadlessServices::answer_drag(std::optional<GuiRect> geometry) {
  std::lock_guard lock(mutex_);
  drag_answers_.push_back(geometry);
}
void HeadlessServices::set_tray_available(bool available) {
  std::lock_guard lock(mutex_);
  tray_available_ = available;
}
void HeadlessServices::set_cursor_position(GuiPoint position) {
  std::lock_guard lock(mutex_);
  cursor_ = position;
}

std::vector<MessageRequest> HeadlessServices::messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}
std::vector<OpenFileRequest> HeadlessServices::open_file_requests() const {
  std::lock_guard lock(mutex_);
  return open_file_requests_;
}
std::vector<FolderRequest> HeadlessServices::folder_requests() const {
  std::lock_guard lock(mutex_);
  return folder_requests_;
}
std::vector<ColourRequest> HeadlessServices::colour_requests() const {
  std::lock_guard lock(mutex_);
  return colour_requests_;
}
std::vector<BalloonRequest> HeadlessServices::balloons() const {
  std::lock_guard lock(mutex_);
  return balloons_;
}
std::vector<PopupMenuRequest> HeadlessServices::popup_menus() const {
  std::lock_guard lock(mutex_);
  return popup_menus_;
}
std::vector<std::string> HeadlessServices::opened() const {
  std::lock_guard lock(mutex_);
  return opened_;
}
std::vector<CursorShape> HeadlessServices::cursor_shapes() const {
  std::lock_guard lock(mutex_);
  return cursor_shapes_;
}
std::vector<ControlDragRequest> HeadlessServices::drags() const {
  std::lock_guard lock(mutex_);
  return drags_;
}
std::optional<TrayIconRequest> HeadlessServices::tray_icon(WindowToken window) const {
  std::lock_guard lock(mutex_);
  for (const auto& icon : tray_icons_) {
    if (icon.window == window) return icon;
  }
  return std::nullopt;
}
void HeadlessServices::clear_records() {
  std::lock_guard lock(mutex_);
  messages_.clear();
  open_file_requests_.clear();
  folder_requests_.clear();
  colour_requests_.clear();
  balloons_.clear();
  popup_menus_.clear();
  opened_.clear();
  cursor_shapes_.clear();
  drags_.clear();
}
