#pragma once
// Width and height of a picture the user chose, from the picture file's bytes.
//
// JPEG and PNG pictures must decode completely; GIF and BMP pictures are measured from
// their headers (platform/picture). A picture that cannot be read gives 0 for both.

#include <string>

// The width in pixels of the picture in `source`, 0 when it cannot be determined.
// `source` normally holds the picture file's bytes. When those bytes, read as a text up
// to their first zero byte, name an existing file, that file's bytes are measured
// instead.
int image_width(const std::string& source);

// The height in pixels of the picture in `source`, as `image_width` reads it.
int image_height(const std::string& source);

// True when something (a file or a folder) exists at `path`.
bool path_file_exists(const std::string& path);
