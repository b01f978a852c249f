#include "demo_song.h"

#include "file_replacement.h"

#include <sys/stat.h>

namespace nimbel {

namespace {

constexpr std::string_view kDemoSong =
    "Start\r\n"
    "; Twinkle, Twinkle Little Star\r\n"
    "t120 c8q,10 c g g\r\n"
    "; Below, the barlines are separated by optional spaces\r\n"
    "| aq a gh |\r\n"
    "; Below, '<<' causes a drop of two octaves\r\n"
    "f<<q,10,74 f e e|\r\n"
    "; Below, three instruments are playing the last three notes in unison\r\n"
    "d d ch|r c,10,74,1 e g\r\n"
    "End\r\n"
    "; Editor font: fixed pitch, 10 point\r\n"
    "; Editor tab width: 4\r\n"
    "; Editor word wrap: off";

}  // namespace

std::string_view demoSongText() { return kDemoSong; }

void ensureDemoSong(const std::string& programDirectory)
{
    const std::string path = programDirectory + std::string(kDemoSongFileName);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return;  // a file or a folder of that name is there

    replaceFileContents(path, kDemoSong);
}

}  // namespace nimbel
