#pragma once
// The duration probes of the convert job's sources, made ahead of the rows on a helper
// thread of the worker, several rows in one converter run (`probe_files`): a start of
// the converter costs far more than reading a file's header, so a batch of rows pays
// for one start. Each probe also lists the source's streams, which shape the row's
// commands.
//
// A row takes the probe made ahead only when it probed the source the row now names
// and the file there is still the one it probed (a row before may have written or
// removed it); otherwise it probes its source on its own, then.

#include <cstddef>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/converter/helper_thread.h"
#include "engine/converter/media_probes.h"
#include "platform/files.h"
#include "platform/gui/gui_types.h"

class ConvertSourceProbes {
 public:
  explicit ConvertSourceProbes(HelperThread& helper) : helper_(helper) {}

  // Starts one run that probes the sources of `rows` (row, source), in order.
  void queue(const std::vector<std::pair<RowId, std::string>>& rows);

  // True when a probe of `row` has been queued.
  bool queued(RowId row) const { return entries_.count(row) > 0; }

  // The probe of `row`'s source `source`: the queued one when it fits (see above),
  // otherwise a probe made now.
  FileProbe take(RowId row, const std::string& source);

  // Waits until every queued run has ended.
  void wait() const;

 private:
  struct Entry {
    std::string source;                              // the source it probed
    std::optional<FileStamp> stamp;                  // the file there when it was queued
    std::shared_future<std::vector<FileProbe>> run;  // the run that probes it
    std::size_t index = 0;                           // its place in the run
  };
  HelperThread& helper_;
  std::map<RowId, Entry> entries_;
  std::vector<std::shared_future<std::vector<FileProbe>>> runs_;
};
