#include "platform/qt/qt_file_filter.h"

#include "platform/gui/file_filter.h"
#include "platform/qt/qt_conversions.h"

QStringList qt_name_filters(const std::string& filter) {
  QStringList filters;
  for (const FileFilter& pair : parse_file_filter(filter)) {
    QStringList patterns;
    for (const std::string& pattern : pair.patterns) {
      // "*.*" means every file; on Linux a name need not hold a dot.
      patterns << (pattern == "*.*" ? QStringLiteral("*") : to_qstring(pattern));
    }
    if (patterns.isEmpty()) continue;
    // Parentheses in the name would be taken for the pattern list.
    QString name = to_qstring(pair.name);
    name.replace(QLatin1Char('('), QChar(0xFF08)).replace(QLatin1Char(')'), QChar(0xFF09));
    filters << QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' ')));
  }
  return filters;
}
