#pragma once
// The merge job's work folders under the run folder: "v_temp1/" holds the first parts
// for the whole job, "v_temp2/" the second part and everything else of one pair.
//
// The job empties and removes a work folder only when it is its own: the run folder is
// a usable absolute path, the work folder lies right under it (neither it nor a link
// on its way leads elsewhere), and no listed source lies inside it. A folder that is
// not its own is left as it is and the job makes nothing in it.

#include <string>
#include <vector>

inline constexpr const char* merge_first_parts_folder_name = "v_temp1";
inline constexpr const char* merge_pair_folder_name = "v_temp2";

// run folder + "/" + name + "/".
std::string merge_work_folder(const std::string& run_folder, const char* name);

// True when `folder` (ending in "/") is the job's own work folder of `run_folder` as
// described above; `listed_sources` are the sources of both merge lists.
bool is_own_merge_work_folder(const std::string& folder, const std::string& run_folder,
                              const std::vector<std::string>& listed_sources);

// Creates `folder` with any missing parents and empties it (its files go to the trash,
// as the page's other clean-ups do); true when it is then the job's own and usable.
// Nothing is emptied when it is not the job's own.
bool prepare_merge_work_folder(const std::string& folder, const std::string& run_folder,
                               const std::vector<std::string>& listed_sources);

// Removes `folder` with everything in it, when it is the job's own.
void remove_merge_work_folder(const std::string& folder, const std::string& run_folder,
                              const std::vector<std::string>& listed_sources);
