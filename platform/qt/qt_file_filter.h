#pragma once
// Open-file dialog filters ("视频文件|*.mp4;*.wmv|所有格式|*.*") as Qt's name filters
// ("视频文件 (*.mp4 *.wmv)", "所有格式 (*)"). The dialog matches them without regard
// to letter case.

#include <QStringList>

#include <string>

QStringList qt_name_filters(const std::string& filter);
