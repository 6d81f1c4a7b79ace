#pragma once
// The output names one job has handed out, so that no row of a job writes over a file
// that an earlier row of the same job wrote. Sources with the same stem (movie.mp4 and
// movie.avi), same-named files from two folders and a file listed twice would all
// make one output name; the first row keeps that name, every later one is numbered.

#include <functional>
#include <set>
#include <string>

class JobOutputNames {
 public:
  // `path` itself when no earlier claim of this job took it (nor `unusable` refuses
  // it), else the first of "stem(2).ext", "stem(3).ext", ... in the same folder that
  // is still free. Records the name returned. Two spellings of one folder (a link, a
  // doubled "/") count as one.
  std::string claim(const std::string& path, const std::function<bool(const std::string&)>& unusable = {});

  // Whether a claim of this job already returned `path` (however its folder is spelt).
  bool claimed(const std::string& path) const;

 private:
  std::set<std::string> claimed_;
};

// `path` with the number `n` in brackets put before its extension: "a/movie.mkv", 2 gives
// "a/movie(2).mkv"; a name without an extension gets the number at its end.
std::string numbered_output_name(const std::string& path, int n);
