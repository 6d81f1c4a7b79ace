#pragma once
// The size of the watermark picture, as the picture-position button measured it just
// before it opened the picture-position editor, or as the editor measured a picture it
// was given instead; the editor places the picture at that size. Both are 0 until the
// first check, and after a check of a picture that could not be read.

#include <atomic>
#include <string_view>

// In pixels.
extern std::atomic<int> watermark_picture_width;
extern std::atomic<int> watermark_picture_height;

// Measures the picture in `bytes` (a picture file's whole bytes) into the two values
// above; 0 for both when it cannot be read whole. Only the bytes count: a text that
// names a picture is no picture. True when both are greater than 0.
bool measure_watermark_picture(std::string_view bytes);
