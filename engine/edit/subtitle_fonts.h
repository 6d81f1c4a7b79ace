#pragma once
// The fonts offered for the scrolling subtitle: every font file of the fonts folder
// with its face name, and which of them a remembered font name selects.

#include <string>
#include <vector>

// One entry of the subtitle font list.
struct SubtitleFont {
  // The face name followed by the file's name without its extension in parentheses:
  // "DejaVu Sans(DejaVuSans)".
  std::string item_text;
  // The file's name with its extension and without a folder: "DejaVuSans.ttf".
  std::string file_name;
};

// The entries for the files of the fonts folder (`special_folder_path`), one per file
// (or link to a file) whose face name can be read; folders and files that are no fonts
// are left out. Entries come in the order of the file names with ASCII letters compared
// without regard to case, as a file browser shows a folder (a Linux folder itself lists
// its entries in no meaningful order). Empty without a fonts folder.
std::vector<SubtitleFont> list_subtitle_fonts();

// The index of the item to select for the remembered font `remembered`: the first item
// whose text begins with it (ASCII letters compared without regard to case), else
// item 0; -1 when there are no items.
int subtitle_font_index(const std::vector<SubtitleFont>& fonts, const std::string& remembered);
