#include "engine/watermark_picture_size.h"

std::atomic<int> watermark_picture_width{0};
std::atomic<int> watermark_picture_height{0};
