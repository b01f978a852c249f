#include "text_file.h"

#include "file_descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbel {

void toUpperAscii(std::string& text)
{
    for (char& c : text) c = upperAscii(c);
}

std::string_view trimmed(std::string_view text, std::string_view blanks)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool readTextFile(const std::string& path, std::string& contents)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::string data;
    data.reserve(static_cast<size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0) return false;
        if (n == 0) break;
        data.append(buffer, static_cast<size_t>(n));
    }
    contents = std::move(data);
    return true;
}

}  // namespace nimbel
