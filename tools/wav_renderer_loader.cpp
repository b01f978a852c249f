#include "wav_renderer_module.h"

#include <dlfcn.h>

#include <array>
#include <filesystem>

namespace nimbel {

namespace {

RenderResult failure(std::string error)
{
    RenderResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

RenderResult renderWavFileThroughModule(const MessageLog& messages, const std::string& soundFont,
                                        const std::string& outPath)
{
    std::error_code unreadable;
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", unreadable).parent_path();
    std::string path = (folder / kWavRendererModule).string();
    if (!std::filesystem::exists(path))
        path = (folder / NIMBEL_INSTALLED_MODULE_FOLDER / kWavRendererModule).lexically_normal().string();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return failure(std::string("cannot load the audio renderer: ") + dlerror());
    const auto render = reinterpret_cast<WavRendererEntry>(dlsym(module, kWavRendererSymbol));
    if (!render) return failure("cannot load the audio renderer: " + path + " has no " + kWavRendererSymbol);

    std::array<char, 512> error{};
    const std::int64_t frames =
        render(messages.data(), messages.size(), soundFont.c_str(), outPath.c_str(), error.data(), error.size());
    if (frames < 0) return failure(error.data());
    RenderResult result;
    result.ok = true;
    result.frames = frames;
    return result;
}

}  // namespace nimbel
