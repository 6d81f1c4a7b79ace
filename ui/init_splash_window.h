#pragma once
// `InitSplashWindow`, the first-use splash: a small modal window over the main window
// that says the program is being set up, with a busy sign, while the converter
// installer is fetched. It checks once a second whether the converter exists and
// closes by itself when it does. It has an ordinary close box: the user can always
// close it early, and nothing else depends on it.

#include <string>

#include "platform/gui/gui.h"

inline constexpr const char* init_splash_window_name = "InitSplashWindow";
inline constexpr const char* init_splash_title = "正在初始化程序";
inline constexpr const char* init_splash_text = "首次使用，正在初始化程序，请稍等……";
// Below it: what this system needs instead of an installer.
inline constexpr const char* init_splash_package_text = "需要安装系统的 ffmpeg 软件包：sudo apt install ffmpeg";
inline constexpr int init_splash_width = 645;
inline constexpr int init_splash_height = 250;
// How often the open splash looks for the converter.
inline constexpr int init_splash_check_interval_ms = 1000;

// The window's description: the transparent label `init_splash_label`, below it the
// label `init_splash_package_label` with the line on the system's package, the picture
// box `init_splash_picture` with the busy sign (resources/busy.gif under
// `run_folder`; its bytes are kept for the view, which plays the animation) and the
// timer `init_splash_check_timer`, which starts when the window is created.
WindowSpec init_splash_window_spec(const std::string& run_folder);

// UI thread. Creates the splash, binds its handlers and runs it modally over the main
// window (which takes no input meanwhile); returns when the splash has closed.
void run_init_splash();

// The splash's created handler: starts the check timer.
void on_init_splash_created(WindowToken splash);

// The check timer's tick: closes the splash when something exists at
// `ffmpeg_exe_path`, otherwise looks again a second later.
void on_init_splash_timer(WindowToken splash);

// Closes the splash if it is open. Any thread (from another thread it is posted).
void close_init_splash();
