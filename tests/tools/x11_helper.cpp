// What the tests of the real window need from the X server besides xdotool's input:
// a notification area that docks icons by XEmbed, a list of the windows on the
// screen, and a window's close request as a window manager sends it.
//
// Usage (the display from DISPLAY):
//   x11_helper tray-host   owns the screen's notification-area selection and docks
//                          every icon that asks, side by side at the top right;
//                          prints "ready" once it is the notification area, then
//                          "docked ID X Y W H" (screen position) for each icon and
//                          "undocked ID" when one goes. Runs until it is killed or
//                          the display goes.
//   x11_helper windows     prints one line per mapped window directly on the root:
//                          "ID X Y W H OVERRIDE NAME" (OVERRIDE 1 for pop-ups that
//                          bypass the window manager, NAME its UTF-8 title or "").
//   x11_helper close ID    sends window ID the close request (WM_DELETE_WINDOW).
// Window ids are printed and read in decimal. Exit status 0, 1 on a failure, 2 on a
// usage error.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr long system_tray_request_dock = 0;
constexpr long xembed_embedded_notify = 0;
constexpr int icon_size = 24;

std::string window_title(Display* display, Window window) {
  const Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, net_wm_name, 0, 1024, False, utf8, &type, &format, &count, &left, &data) ==
          Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    return title;
  }
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

int list_windows(Display* display) {
  Window root_return = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count)) return 1;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    std::printf("%lu %d %d %d %d %d %s\n", children[i], attributes.x, attributes.y, attributes.width,
                attributes.height, attributes.override_redirect ? 1 : 0,
                window_title(display, children[i]).c_str());
  }
  if (children) XFree(children);
  return 0;
}

int close_window(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  if (!XSendEvent(display, window, False, NoEventMask, &event)) return 1;
  XSync(display, False);
  return 0;
}

int run_tray_host(Display* display) {
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  const std::string selection_name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
  const Atom selection = XInternAtom(display, selection_name.c_str(), False);
  const Atom opcode = XInternAtom(display, "_NET_SYSTEM_TRAY_OPCODE", False);
  const Atom xembed = XInternAtom(display, "_XEMBED", False);
  const Atom manager = XInternAtom(display, "MANAGER", False);

  // The area: a strip at the top right of the screen.
  const int width = 8 * icon_size;
  const int left = DisplayWidth(display, screen) - width;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.event_mask = SubstructureNotifyMask | StructureNotifyMask;
  const Window host = XCreateWindow(display, root, left, 0, width, icon_size, 0, CopyFromParent, InputOutput,
                                    CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  const long horizontal = 0;
  XChangeProperty(display, host, XInternAtom(display, "_NET_SYSTEM_TRAY_ORIENTATION", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&horizontal), 1);
  const long visual = static_cast<long>(XVisualIDFromVisual(DefaultVisual(display, screen)));
  XChangeProperty(display, host, XInternAtom(display, "_NET_SYSTEM_TRAY_VISUAL", False), XA_VISUALID, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&visual), 1);
  XMapWindow(display, host);

  XSetSelectionOwner(display, selection, host, CurrentTime);
  if (XGetSelectionOwner(display, selection) != host) {
    std::fprintf(stderr, "x11_helper: another notification area owns %s\n", selection_name.c_str());
    return 1;
  }
  // Tells the clients that wait for a notification area that there is one now.
  XEvent announce{};
  announce.xclient.type = ClientMessage;
  announce.xclient.window = root;
  announce.xclient.message_type = manager;
  announce.xclient.format = 32;
  announce.xclient.data.l[0] = CurrentTime;
  announce.xclient.data.l[1] = static_cast<long>(selection);
  announce.xclient.data.l[2] = static_cast<long>(host);
  XSendEvent(display, root, False, StructureNotifyMask, &announce);
  XSync(display, False);
  std::printf("ready\n");
  std::fflush(stdout);

  std::map<Window, int> slots;  // docked icons and their places
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ClientMessage && event.xclient.message_type == opcode &&
        event.xclient.data.l[1] == system_tray_request_dock) {
      const Window icon = static_cast<Window>(event.xclient.data.l[2]);
      if (slots.count(icon)) continue;
      int slot = 0;  // the first free place
      for (bool taken = true; taken; ++slot) {
        taken = false;
        for (const auto& [other, place] : slots) taken = taken || place == slot;
        if (!taken) break;
      }
      slots[icon] = slot;
      XSelectInput(display, icon, StructureNotifyMask);
      XReparentWindow(display, icon, host, slot * icon_size, 0);
      XResizeWindow(display, icon, icon_size, icon_size);
      XMapRaised(display, icon);
      XEvent notify{};
      notify.xclient.type = ClientMessage;
      notify.xclient.window = icon;
      notify.xclient.message_type = xembed;
      notify.xclient.format = 32;
      notify.xclient.data.l[0] = CurrentTime;
      notify.xclient.data.l[1] = xembed_embedded_notify;
      notify.xclient.data.l[3] = static_cast<long>(host);
      notify.xclient.data.l[4] = 0;  // protocol version
      XSendEvent(display, icon, False, NoEventMask, &notify);
      XSync(display, False);
      std::printf("docked %lu %d %d %d %d\n", icon, left + slot * icon_size, 0, icon_size, icon_size);
      std::fflush(stdout);
    } else if ((event.type == DestroyNotify && slots.count(event.xdestroywindow.window)) ||
               (event.type == ReparentNotify && event.xreparent.parent != host &&
                slots.count(event.xreparent.window))) {
      const Window icon = event.type == DestroyNotify ? event.xdestroywindow.window : event.xreparent.window;
      slots.erase(icon);
      std::printf("undocked %lu\n", icon);
      std::fflush(stdout);
    } else if (event.type == SelectionClear) {
      return 0;
    }
  }
}

}  // namespace

// A window may go between listing it and asking about it: such errors are no failure
// (the default handler would end the program).
int ignore_error(Display*, XErrorEvent*) { return 0; }

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: x11_helper tray-host | windows | close ID\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "x11_helper: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(ignore_error);
  const std::string command = argv[1];
  int status = 2;
  if (command == "tray-host") {
    status = run_tray_host(display);
  } else if (command == "windows") {
    status = list_windows(display);
  } else if (command == "close" && argc == 3) {
    status = close_window(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 10)));
  } else {
    std::fprintf(stderr, "usage: x11_helper tray-host | windows | close ID\n");
  }
  XCloseDisplay(display);
  return status;
}
