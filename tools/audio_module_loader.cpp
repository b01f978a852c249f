#include "audio_module.h"

#include <dlfcn.h>

#include <array>
#include <filesystem>

namespace nimbel {

namespace {

// The module, loaded on first use; null with the reason in `error` when it cannot be.
void* audioModule(std::string& error)
{
    std::error_code unreadable;
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", unreadable).parent_path();
    std::string path = (folder / kAudioModule).string();
    if (!std::filesystem::exists(path))
        path = (folder / NIMBEL_INSTALLED_MODULE_FOLDER / kAudioModule).lexically_normal().string();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) error = std::string("cannot load the audio renderer: ") + dlerror();
    return module;
}

}  // namespace

RenderResult renderAudioFileThroughModule(const MessageLog& messages, const std::string& soundFont,
                                          const std::string& outPath)
{
    std::string error;
    void* module = audioModule(error);
    if (!module) return renderFailure(error);
    const auto render = reinterpret_cast<RenderEntry>(dlsym(module, kRenderSymbol));
    if (!render) return renderFailure(std::string("cannot load the audio renderer: it has no ") + kRenderSymbol);

    std::array<char, 512> reason{};
    const std::int64_t frames =
        render(messages.data(), messages.size(), soundFont.c_str(), outPath.c_str(), reason.data(), reason.size());
    if (frames < 0) return renderFailure(reason.data());
    return {.ok = true, .error = {}, .frames = frames};
}

std::optional<std::vector<AudioFormat>> writableAudioFormats()
{
    std::string error;
    void* module = audioModule(error);
    const auto formats = module ? reinterpret_cast<FormatsEntry>(dlsym(module, kFormatsSymbol)) : nullptr;
    if (!formats) return std::nullopt;
    std::vector<AudioFormat> writable;
    const unsigned bits = formats();
    for (const AudioFormat format : kAudioFormats)
        if (bits & (1u << static_cast<unsigned>(format))) writable.push_back(format);
    return writable;
}

}  // namespace nimbel
