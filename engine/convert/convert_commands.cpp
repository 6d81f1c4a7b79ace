#include "engine/convert/convert_commands.h"

#include <initializer_list>

#include "engine/common/file_helpers.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/media_probes.h"

namespace {

bool is_one_of(const std::string& folded, std::initializer_list<const char*> values) {
  for (const char* value : values) {
    if (folded == value) return true;
  }
  return false;
}

// DQ(SP(path)), or "" with `safe` cleared when the result would not stay one argument.
std::string quoted_command_path(const std::string& path, bool& safe) {
  const std::string short_path = short_path_for_command(path);
  if (!fits_between_quotes(short_path)) safe = false;
  return "\"" + short_path + "\"";
}

// The maps that keep every sound track of the source (and its subtitle streams where
// the container takes them); "" where the converter's own choice loses nothing.
std::string stream_maps(const std::vector<ConsoleStream>& streams, const std::string& folded_format) {
  if (!is_one_of(folded_format, {"mkv", "mp4", "mov", "ts"}) || count_streams(streams, "Audio") < 2) return "";
  std::string maps = " -map 0:V? -map 0:a";
  int input_subtitle = 0, output_subtitle = 0;
  for (const ConsoleStream& stream : streams) {
    if (stream.kind != "Subtitle") continue;
    if (const auto codec = subtitle_codec_for(folded_format, stream.codec)) {
      maps += " -map 0:s:" + std::to_string(input_subtitle) + " -c:s:" + std::to_string(output_subtitle) + " " + *codec;
      ++output_subtitle;
    }
    ++input_subtitle;
  }
  return maps;
}

// "-vcodec copy", or an encoder that turns the picture upright where the container
// cannot store the source's rotation.
std::string video_codec_option(const std::vector<ConsoleStream>& streams, const std::string& folded_format) {
  for (const ConsoleStream& stream : streams) {
    if (stream.kind != "Video" || stream.attached_picture) continue;
    const bool turned = stream.rotation % 360 != 0;
    return turned && !is_one_of(folded_format, {"mp4", "mov"}) ? " -vcodec libx264" : " -vcodec copy";
  }
  return " -vcodec copy";
}

std::vector<std::string> build_commands(const ConvertRowPlan& plan, const std::string& format,
                                        const std::string& global_options,
                                        const std::vector<ConsoleStream>& source_streams) {
  const std::string folded_format = fold_ascii_case(format);
  bool safe = true;
  const std::string input = global_options + " -i " + quoted_command_path(plan.source, safe);
  const std::string output = quoted_command_path(plan.output_path, safe);
  const std::string maps = stream_maps(source_streams, folded_format);
  const std::string video = video_codec_option(source_streams, folded_format);
  std::vector<std::string> commands;
  switch (plan.shape) {
    case ConvertCommand::M3u8ToMp3: {
      const std::string temporary = quoted_command_path(plan.temporary_path, safe);
      commands.push_back(input + " -acodec copy -absf aac_adtstoasc -y " + temporary);
      commands.push_back(global_options + " -i " + temporary + " -f mp3 -y " + output);
      break;
    }
    case ConvertCommand::M3u8Copy:
      commands.push_back(input + " -acodec copy" + (folded_format == "ts" ? "" : " -absf aac_adtstoasc") + " -y " +
                         output);
      break;
    case ConvertCommand::StreamCopy:
      commands.push_back(input + maps + video + " -y " + output);
      break;
    case ConvertCommand::ForceFormat:
      commands.push_back(input + maps + " -f " + converter_muxer_name(format) + " " + output);
      break;
    case ConvertCommand::CopyFixAdts:
      commands.push_back(input + maps + video + " -y" +
                         (is_one_of(folded_format, {"mkv", "flv", "wmv"}) ? "" : " -bsf:a aac_adtstoasc") + " " +
                         output);
      break;
  }
  if (!safe) commands.clear();
  return commands;
}

}  // namespace

std::string rewrite_course_stream_address(const std::string& address) {
  const std::string marker = std::string(".") + course_site_domain + "/";
  if (fold_ascii_case(address).find(fold_ascii_case(marker)) == std::string::npos ||
      address.find(".m3u8") == std::string::npos) {
    return address;
  }
  std::string result = address;
  const std::size_t slashes = result.find("//");
  if (slashes != std::string::npos) {
    const std::size_t dot = result.find('.', slashes + 2);
    if (dot != std::string::npos) {
      const std::string label = result.substr(slashes + 2, dot - slashes - 2);
      result =
          replace_ignoring_ascii_case(result, "//" + label + ".", std::string("//") + course_stream_host_label + ".");
    }
  }
  const std::size_t query = result.find('?');
  if (query != std::string::npos) result.erase(query);
  return result;
}

std::string convert_source_extension(const std::string& source) {
  return source.find(".m3u8") != std::string::npos ? std::string(".m3u8") : file_extension(source);
}

bool convert_source_is_stream(const std::string& source) {
  return fold_ascii_case(convert_source_extension(source)) == ".m3u8" || source.find("://") != std::string::npos;
}

ConvertCommand choose_convert_command(const std::string& format, const std::string& extension) {
  const std::string f = fold_ascii_case(format);
  const std::string e = fold_ascii_case(extension);
  if (e == ".m3u8" && f == "mp3") return ConvertCommand::M3u8ToMp3;
  if (e == ".m3u8") return ConvertCommand::M3u8Copy;
  if (f == "ts" || e == ".ts") return ConvertCommand::StreamCopy;
  if (f == "mp3" || e == ".mp3" || e == ".wmv") return ConvertCommand::ForceFormat;
  return ConvertCommand::CopyFixAdts;
}

const char* convert_command_name(ConvertCommand shape) {
  switch (shape) {
    case ConvertCommand::M3u8ToMp3:
      return "M3u8ToMp3";
    case ConvertCommand::M3u8Copy:
      return "M3u8Copy";
    case ConvertCommand::StreamCopy:
      return "StreamCopy";
    case ConvertCommand::ForceFormat:
      return "ForceFormat";
    case ConvertCommand::CopyFixAdts:
      return "CopyFixAdts";
  }
  return "";
}

std::string converter_muxer_name(const std::string& format) {
  const std::string f = fold_ascii_case(format);
  if (f == "mkv") return "matroska";
  if (f == "wmv") return "asf";
  if (f == "ts") return "mpegts";
  return f;
}

std::optional<std::string> subtitle_codec_for(const std::string& format, const std::string& codec) {
  const std::string f = fold_ascii_case(format);
  const bool text = is_one_of(codec, {"subrip", "ass", "ssa", "webvtt", "mov_text", "text"});
  if (f == "mkv") {
    if (is_one_of(codec, {"subrip", "ass", "ssa", "webvtt", "dvd_subtitle", "hdmv_pgs_subtitle", "dvb_subtitle"})) {
      return "copy";
    }
    if (text) return "ass";
  } else if (f == "mp4" || f == "mov") {
    if (codec == "mov_text" || (f == "mp4" && codec == "dvd_subtitle")) return "copy";
    if (text) return "mov_text";
  } else if (f == "ts") {
    if (is_one_of(codec, {"dvb_subtitle", "dvb_teletext"})) return "copy";
  }
  return std::nullopt;
}

ConvertRowPlan plan_convert_row(const std::string& listed_source, const ConvertRowOptions& options,
                                const std::vector<ConsoleStream>& source_streams, const std::string& output_path) {
  ConvertRowPlan plan;
  plan.source = rewrite_course_stream_address(listed_source);
  plan.stem = file_name_from_path(plan.source);
  plan.extension = convert_source_extension(plan.source);
  plan.is_stream = convert_source_is_stream(plan.source);
  if (options.save_beside_source && !plan.is_stream) {
    plan.output_base = parent_folder(plan.source) + plan.stem + "_new";
  } else {
    plan.output_base = options.output_folder + "/" + plan.stem;
  }
  plan.output_path = plan.output_base + "." + options.format;
  const std::string extension = "." + options.format;
  if (output_path.size() > extension.size() && output_path.ends_with(extension)) {
    plan.output_path = output_path;
    plan.output_base = output_path.substr(0, output_path.size() - extension.size());
  }
  plan.shape = choose_convert_command(options.format, plan.extension);
  if (plan.shape == ConvertCommand::M3u8ToMp3) plan.temporary_path = plan.output_base + "tmp.mp4";
  // An empty folder text would put the output at the root of the file system.
  const bool into_folder = !options.save_beside_source || plan.is_stream;
  if (!into_folder || !options.output_folder.empty()) {
    plan.commands = build_commands(plan, options.format, options.global_options, source_streams);
  }
  return plan;
}
