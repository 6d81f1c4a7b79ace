#pragma once
// The size of the watermark picture, as the picture-position button measured it just
// before it opened the picture-position editor, which places the picture at that size.
// Both are 0 until the first check, and after a check of a picture that could not be
// read.

#include <atomic>

// In pixels.
extern std::atomic<int> watermark_picture_width;
extern std::atomic<int> watermark_picture_height;
