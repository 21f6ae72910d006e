#include "ScreenModule.h"

#include "core/Exception.h"

#include <dlfcn.h>
#include <filesystem>

namespace host {

ScreenModule::ScreenModule(std::string path) : path_(std::move(path)) {}

std::string ScreenModule::DefaultPath() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    fs::path dir = ec ? fs::current_path() : exe.parent_path();
    return (dir / ".." / "lib" / "libpla02000.so").lexically_normal().string();
}

void ScreenModule::load() {
    if (handle_) return;
    // RTLD_GLOBAL: the screens the package opens by code share its symbols.
    void* h = dlopen(path_.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!h) {
        const char* why = dlerror();
        throw Exception("Não foi possível carregar o módulo " + path_ + (why ? std::string(": ") + why : "") + ".");
    }
    auto entry = reinterpret_cast<void (*)()>(dlsym(h, "IniProc"));
    if (!entry) {
        dlclose(h);
        throw Exception("O módulo " + path_ + " não exporta IniProc.");
    }
    handle_ = h;
    iniProc_ = entry;
}

void ScreenModule::IniProc() {
    load();
    iniProc_();
}

}  // namespace host
