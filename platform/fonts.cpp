#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "platform/codepage.h"
#include "platform/files.h"

namespace {

// The font files fontconfig lists: absolute paths of regular files, each once, in
// byte order.
std::vector<std::string> fontconfig_font_files() {
  std::vector<std::string> files;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
  FcFontSet* set = (pattern && objects) ? FcFontList(nullptr, pattern, objects) : nullptr;
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file) continue;
      const std::string path(reinterpret_cast<const char*>(file));
      if (path.starts_with("/") && is_regular_file(path)) files.push_back(path);
    }
    FcFontSetDestroy(set);
  }
  if (objects) FcObjectSetDestroy(objects);
  if (pattern) FcPatternDestroy(pattern);
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

// The target of the link at `path`; empty when it is no link.
std::string link_target(const std::string& path) {
  std::string target(4096, '\0');
  const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
  if (n <= 0 || static_cast<size_t>(n) >= target.size()) return {};
  target.resize(static_cast<size_t>(n));
  return target;
}

// Makes `path` a link to `target`, replacing a link with another target.
void place_link(const std::string& target, const std::string& path) {
  if (::symlink(target.c_str(), path.c_str()) == 0 || errno != EEXIST) return;
  // Another instance of the program may have made it a moment ago.
  if (link_target(path) == target) return;
  if (!link_target(path).empty() && remove_file(path)) (void)::symlink(target.c_str(), path.c_str());
}

// The folder of links under the user's cache folder; empty without a home.
std::string cache_fonts_folder() {
  std::string cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') {
    cache = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    cache = std::string(home) + "/.cache";
  } else {
    return {};
  }
  while (cache.size() > 1 && cache.back() == '/') cache.pop_back();
  return cache + "/videotool/fonts";
}

std::string private_folder_to_remove;

void remove_private_fonts_folder() {
  if (!private_folder_to_remove.empty()) remove_folder_tree(private_folder_to_remove);
}

// A private folder under the temporary folder, made once and removed at exit; empty
// on failure.
std::string make_private_fonts_folder() {
  if (!private_folder_to_remove.empty()) return private_folder_to_remove;
  std::string base = "/tmp";
  if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp == '/') base = tmp;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string pattern = base + "/videotool-fonts-XXXXXX";
  if (!::mkdtemp(pattern.data())) return {};
  private_folder_to_remove = pattern;
  std::atexit(remove_private_fonts_folder);
  return pattern;
}

// Text that FreeType reports as a C string: kept when it is valid UTF-8, otherwise
// read as Latin-1 (the encoding of older font formats' names).
std::string text_from_font_string(const char* raw) {
  if (!raw) return {};
  const std::string bytes(raw);
  if (utf16le_to_utf8(utf8_to_utf16le(bytes)) == bytes) return bytes;
  std::string text;
  for (const unsigned char c : bytes) {
    if (c < 0x80) {
      text.push_back(static_cast<char>(c));
    } else {
      text.push_back(static_cast<char>(0xC0 | (c >> 6)));
      text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return text;
}

// The languages whose family name is wanted, best first.
constexpr FT_UShort preferred_languages[] = {
    TT_MS_LANGID_CHINESE_PRC,       TT_MS_LANGID_CHINESE_TAIWAN, TT_MS_LANGID_CHINESE_HONG_KONG,
    TT_MS_LANGID_CHINESE_SINGAPORE, TT_MS_LANGID_CHINESE_MACAO,  TT_MS_LANGID_ENGLISH_UNITED_STATES,
};

// The family name from the font's name table in the best of `preferred_languages`;
// empty when it has none of them.
std::string family_name_from_name_table(FT_Face face) {
  constexpr size_t none = std::size(preferred_languages);
  std::string best;
  size_t best_rank = none;
  const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
  for (FT_UInt i = 0; i < count; ++i) {
    FT_SfntName entry;
    if (FT_Get_Sfnt_Name(face, i, &entry) != 0) continue;
    if (entry.platform_id != TT_PLATFORM_MICROSOFT || entry.name_id != TT_NAME_ID_FONT_FAMILY) continue;
    // Symbol, Unicode BMP and full Unicode names are all UTF-16BE.
    if (entry.encoding_id != TT_MS_ID_SYMBOL_CS && entry.encoding_id != TT_MS_ID_UNICODE_CS &&
        entry.encoding_id != TT_MS_ID_UCS_4) {
      continue;
    }
    const size_t rank = static_cast<size_t>(
        std::find(std::begin(preferred_languages), std::end(preferred_languages), entry.language_id) -
        std::begin(preferred_languages));
    if (rank >= best_rank) continue;
    std::string_view units(reinterpret_cast<const char*>(entry.string), entry.string_len);
    for (size_t u = 0; u + 1 < units.size(); u += 2) {
      if (units[u] == '\0' && units[u + 1] == '\0') {
        units = units.substr(0, u);
        break;
      }
    }
    std::string name = utf16be_to_utf8(units);
    if (name.empty()) continue;
    best = std::move(name);
    best_rank = rank;
  }
  return best;
}

// The characters of the UTF-8 text `text` that are drawn (no control characters);
// nothing when it is not UTF-8.
std::optional<std::vector<FcChar32>> drawn_characters(const std::string& text) {
  std::vector<FcChar32> characters;
  const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
  int left = static_cast<int>(text.size());
  while (left > 0) {
    FcChar32 c = 0;
    const int used = FcUtf8ToUcs4(bytes, &c, left);
    if (used <= 0) return std::nullopt;
    bytes += used;
    left -= used;
    if (c >= 0x20 && !(c >= 0x7f && c < 0xa0)) characters.push_back(c);
  }
  return characters;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> font_link_names(const std::vector<std::string>& files) {
  std::vector<std::pair<std::string, std::string>> links;
  std::set<std::string> taken;
  for (const std::string& file : files) {
    const std::string name = file.substr(file.rfind('/') + 1);
    if (name.empty()) continue;
    std::string link = name;
    if (taken.count(link)) {
      const size_t dot = name.rfind('.');
      const bool has_extension = dot != std::string::npos && dot > 0;
      const std::string stem = has_extension ? name.substr(0, dot) : name;
      const std::string extension = has_extension ? name.substr(dot) : std::string();
      for (int n = 2; taken.count(link); ++n) link = stem + "-" + std::to_string(n) + extension;
    }
    taken.insert(link);
    links.emplace_back(link, file);
  }
  return links;
}

bool update_font_link_folder(const std::string& folder) {
  if (!create_folders(folder)) return false;
  std::map<std::string, std::string> wanted;
  for (auto& [link, file] : font_link_names(fontconfig_font_files())) wanted.emplace(link, file);
  for (const FolderEntry& entry : list_folder_entries(folder)) {
    if (!entry.is_link) continue;
    const std::string path = folder + "/" + entry.name;
    const auto it = wanted.find(entry.name);
    if (it != wanted.end() && link_target(path) == it->second) {
      wanted.erase(it);
    } else {
      remove_file(path);
    }
  }
  for (const auto& [link, file] : wanted) place_link(file, folder + "/" + link);
  return is_folder(folder);
}

std::string fonts_folder() {
  if (const char* chosen = std::getenv(fonts_folder_variable); chosen && *chosen) {
    std::string folder = chosen;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  static std::mutex mutex;
  static std::string built;
  std::lock_guard lock(mutex);
  if (!built.empty()) return built;
  if (const std::string cache = cache_fonts_folder(); !cache.empty() && update_font_link_folder(cache)) {
    built = cache;
  } else if (const std::string own = make_private_fonts_folder(); !own.empty() && update_font_link_folder(own)) {
    built = own;
  }
  return built;
}

std::string font_face_name(const std::string& path) {
  // FreeType opens what it is given; a pipe or device could block or never end.
  if (!is_regular_file(path)) return {};
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return {};
  std::string name;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
    name = family_name_from_name_table(face);
    if (name.empty()) name = text_from_font_string(face->family_name);
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return name;
}

bool font_covers_text(const std::string& path, const std::string& text) {
  const std::optional<std::vector<FcChar32>> characters = drawn_characters(text);
  if (!characters || !is_regular_file(path)) return false;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  bool covers = false;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
    covers = std::all_of(characters->begin(), characters->end(),
                         [face](FcChar32 c) { return FT_Get_Char_Index(face, c) != 0; });
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return covers;
}

std::string installed_font_covering_text(const std::string& text) {
  const std::optional<std::vector<FcChar32>> characters = drawn_characters(text);
  if (!characters) return {};
  const std::unique_ptr<FcCharSet, decltype(&FcCharSetDestroy)> wanted(FcCharSetCreate(), FcCharSetDestroy);
  const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
  if (!wanted || !pattern) return {};
  for (const FcChar32 c : *characters) FcCharSetAddChar(wanted.get(), c);
  FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> sorted(
      FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result), FcFontSetDestroy);
  if (!sorted) return {};
  for (int i = 0; i < sorted->nfont; ++i) {
    const FcPattern* font = sorted->fonts[i];
    FcChar8* file = nullptr;
    FcCharSet* has = nullptr;
    int index = -1;
    FcBool outline = FcFalse;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file ||
        FcPatternGetCharSet(font, FC_CHARSET, 0, &has) != FcResultMatch ||
        FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch ||
        FcPatternGetBool(font, FC_OUTLINE, 0, &outline) != FcResultMatch) {
      continue;
    }
    // The converter draws with the file's first face.
    if (index != 0 || !outline || !FcCharSetIsSubset(wanted.get(), has)) continue;
    const std::string path(reinterpret_cast<const char*>(file));
    if (path.starts_with("/") && font_covers_text(path, text)) return path;
  }
  return {};
}
