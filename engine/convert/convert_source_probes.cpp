#include "engine/convert/convert_source_probes.h"

void ConvertSourceProbes::queue(const std::vector<std::pair<RowId, std::string>>& rows) {
  if (rows.empty()) return;
  std::vector<std::string> sources;
  std::vector<std::optional<FileStamp>> stamps;
  for (const auto& [row, source] : rows) {
    sources.push_back(source);
    stamps.push_back(file_stamp(source));
  }
  std::shared_future<std::vector<FileProbe>> run = helper_.run([sources] { return probe_files(sources); }).share();
  for (std::size_t i = 0; i < rows.size(); ++i) entries_[rows[i].first] = Entry{rows[i].second, stamps[i], run, i};
  runs_.push_back(std::move(run));
}

FileProbe ConvertSourceProbes::take(RowId row, const std::string& source) {
  const auto found = entries_.find(row);
  if (found != entries_.end()) {
    const Entry entry = found->second;
    entries_.erase(found);
    const std::vector<FileProbe>& probes = entry.run.get();
    if (entry.source == source && file_stamp(source) == entry.stamp) return probes[entry.index];
  }
  return probe_files({source}).front();
}

void ConvertSourceProbes::wait() const {
  for (const auto& run : runs_) run.wait();
}
