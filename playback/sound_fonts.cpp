#include "sound_fonts.h"

#include <sys/stat.h>
#include <unistd.h>

namespace nimbel {

std::vector<std::string> defaultSoundFontPaths()
{
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
            "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

std::optional<std::string> findSoundFont(const std::vector<std::string>& candidates)
{
    for (const std::string& path : candidates) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0) return path;
    }
    return std::nullopt;
}

}  // namespace nimbel
