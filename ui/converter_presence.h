#pragma once
// The converter presence check, run at every start as a start-up task of the main
// window (ui/startup_tasks.h), on its own thread.
//
// It sets `ffmpeg_exe_path` (run folder + "/bin/ffmpeg") and, when nothing is there
// (the first start after installation), creates `bin` and links the system's
// converter, the first "ffmpeg" on PATH, into it, as the build does; then nothing else
// happens. Only when the system has none, it opens the converter installer that fits
// the system ("video_setup.exe" on a 64-bit system, "video_setup32.exe" otherwise)
// from the run folder; the splash then also says that the system's ffmpeg package is
// needed. When that file is not there yet
// it is first downloaded from the product's web server, and the first-use splash
// (ui/init_splash_window.h) is shown meanwhile through the main window's one-shot
// timer `init_splash_show_timer`; the splash closes by itself once the converter
// exists. With the converter present nothing else happens.
//
// Failures end in a message, never in a splash that waits for nothing:
// - a download that brings nothing (no connection, a server error) writes no file, so
//   an empty installer never stands in the way of the next start's download; an
//   installer file that is empty (left by an earlier failure) counts as missing;
// - the file is written whole or not at all (a temporary file, then a rename);
// - when the download fails, the file cannot be written or the installer cannot be
//   opened, the splash closes and a message box tells the user that the converter
//   could not be set up.
// Once shutdown has begun the check writes, opens and shows nothing more.

#include <string>

#include "platform/gui/gui.h"

// The converter's program name, as the system's package installs it on PATH.
inline constexpr const char* converter_program_name = "ffmpeg";

// The product's web server, from whose root the installers are downloaded.
inline constexpr const char* installer_server_address = "http://qifeng.example.org";

// The installers' file names, in the run folder and at the server's root.
inline constexpr const char* installer_64_file_name = "video_setup.exe";
inline constexpr const char* installer_32_file_name = "video_setup32.exe";

// The message shown when the converter could not be set up.
inline constexpr const char* converter_setup_failed_title = "友情提示：";
inline constexpr const char* converter_setup_failed_text =
    "转换程序安装包下载或打开失败，请检查网络连接后重新启动软件。";

// The installer for a system whose version name is `version_name`
// (windows_version_name): the 64-bit one when the name contains "x64".
std::string installer_file_name(const std::string& version_name);

// Sets the presence check as the converter-check start-up task and binds the main
// window's `init_splash_show_timer`.
void bind_converter_presence_check(WindowToken window);

// The start-up task: the check against the product's web server.
void ensure_ffmpeg_present_thread_entry();

// The check as described above, downloading from `server_address` (scheme, host and
// port if any, without a trailing "/"). Blocks its thread while the download runs.
void ensure_ffmpeg_present(const std::string& server_address);

// The tick of `init_splash_show_timer` (UI thread): stops the timer and runs the
// splash modally over the main window.
void on_show_init_splash_timer();
