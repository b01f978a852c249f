#include "wav_renderer_module.h"

#include <dlfcn.h>

#include <filesystem>

namespace nimbel {

WavRenderer loadWavRenderer(std::string& error)
{
    std::error_code unreadable;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", unreadable);
    const std::string path = (program.parent_path() / kWavRendererModule).string();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        error = dlerror();
        return nullptr;
    }
    const auto* renderer = static_cast<const WavRenderer*>(dlsym(module, kWavRendererSymbol));
    if (!renderer) {
        error = path + " has no " + kWavRendererSymbol;
        return nullptr;
    }
    return *renderer;
}

}  // namespace nimbel
