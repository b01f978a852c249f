// The command line of nimbel-export: one song file and the outputs to write
// from it, in the order given. Every option is a row of one table, so a new
// output is one function (export_outputs.h) and one row.
#pragma once

#include "audio_format.h"

#include "export_outputs.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

struct ExportOption {
    std::string_view name;       // "--grid"
    std::string_view valueName;  // shown in the usage; empty when the option takes no value
    std::string_view help;
    ExportOutput output;  // null for an option that only sets a value
};

struct ExportStep {
    ExportOutput output;
    std::string argument;
};

struct ExportRequest {
    std::string songPath;
    std::vector<ExportStep> steps;                // outputs in the order given
    std::map<std::string, std::string> settings;  // value-only options, by name
    bool help = false;
};

// Reads the arguments after the program name ("--save OUT" or
// "--save=OUT"; "--" ends the options). Returns what is wrong with them, or
// the empty string.
std::string parseExportArguments(const std::vector<std::string>& arguments, ExportRequest& request);

// The help text; it says which audio formats cannot be written here
// (`writable`: the formats that can, nothing when audio cannot be written).
std::string exportUsage(const std::optional<std::vector<AudioFormat>>& writable);

}  // namespace nimbel
