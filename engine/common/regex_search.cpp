#include "engine/common/regex_search.h"

#include <boost/regex.hpp>
#include <locale>
#include <vector>

#include "engine/common/globals.h"

std::string regex_find_all_joined(const std::string& text, const std::string& pattern, bool case_sensitive,
                                  const std::string& separator, int first, int count) {
  std::vector<std::string> matches;
  try {
    boost::regex expression;
    expression.imbue(std::locale::classic());
    expression.assign(pattern, case_sensitive ? boost::regex::perl : boost::regex::perl | boost::regex::icase);
    for (boost::sregex_iterator it(text.begin(), text.end(), expression), end; it != end; ++it) {
      matches.push_back(it->str());
    }
  } catch (const std::exception&) {
    // An invalid pattern, or a search the library gives up on, finds nothing.
    matches.clear();
  }
  regex_matches.set(matches);

  const std::size_t total = matches.size();
  std::size_t from = (first <= 0 || static_cast<std::size_t>(first) > total) ? 0 : static_cast<std::size_t>(first) - 1;
  std::size_t to = total;
  if (count > 0 && from + static_cast<std::size_t>(count) < total) to = from + static_cast<std::size_t>(count);
  const std::string& joint = separator.empty() ? std::string("\r\n") : separator;
  std::string joined;
  for (std::size_t i = from; i < to; ++i) {
    if (i > from) joined += joint;
    joined += matches[i];
  }
  return joined;
}
