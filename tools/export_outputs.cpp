#include "export_outputs.h"

#include "song_file.h"

namespace nimbel {

int printGrid(ExportContext& context, const std::string&)
{
    const ListGrid& grid = context.song.grid;
    std::ostream& out = context.out;
    for (int c = 0; c < grid.columnCount(); ++c) out << (c ? "\t" : "") << grid.headerTitle(c);
    out << '\n';
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c) out << (c ? "\t" : "") << grid.cellText(r, c);
        out << '\n';
    }
    out.flush();
    if (out) return kExportDone;
    context.err << "nimbel-export: cannot write the grid to standard output\n";
    return kExportNotWritten;
}

int saveProjectFile(ExportContext& context, const std::string& argument)
{
    if (saveSong(context.song, argument)) return kExportDone;
    context.err << "nimbel-export: cannot write '" << argument << "'\n";
    return kExportNotWritten;
}

}  // namespace nimbel
