#include "dialogs/m3u8_addresses.h"

#include <boost/algorithm/string/replace.hpp>
#include <set>

#include "engine/common/regex_search.h"
#include "engine/common/text_helpers.h"

std::string collect_m3u8_addresses(const std::string& copied, const std::string& box_text) {
  std::string text = copied;
  std::erase(text, '\t');
  std::string joined = regex_find_all_joined(text, m3u8_address_pattern, false, "\r\n");
  boost::algorithm::replace_all(joined, ",", "\r\n");

  const std::vector<std::string> box_lines = split_crlf_lines(box_text);
  const std::set<std::string> in_box(box_lines.begin(), box_lines.end());
  std::set<std::string> kept;
  std::string collected;
  for (std::string candidate : split_crlf_lines(joined)) {
    if (candidate.empty()) continue;
    const std::size_t quote = candidate.find('"');
    if (quote != std::string::npos) {
      candidate.resize(quote);
    } else if (const std::size_t semicolon = candidate.find(';'); semicolon != std::string::npos) {
      candidate.resize(semicolon);
    }
    if (fold_ascii_case(candidate).find(".m3u8") == std::string::npos) continue;
    if (in_box.contains(candidate) || !kept.insert(candidate).second) continue;
    collected += candidate + "\r\n";
  }
  return collected;
}

std::vector<std::string> m3u8_fill_sources(const std::vector<std::string>& listed, const std::string& box_text,
                                           bool filter_duplicates) {
  if (!filter_duplicates) return split_crlf_lines(box_text + "\r\n");
  std::vector<std::string> sources;
  std::set<std::string> taken;  // folded
  auto take = [&](const std::string& source) {
    if (!source.empty() && taken.insert(fold_ascii_case(source)).second) sources.push_back(source);
  };
  for (const std::string& source : listed) take(source);
  for (const std::string& line : split_crlf_lines(box_text)) take(line);
  return sources;
}
