#include "Module.h"

#include "core/Exception.h"
#include "core/Text.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

namespace script {

namespace {
using IniProcFn = void (*)();
using UnitVariableFn = bool (*)(const char*, Variant*);
}  // namespace

ScreenModule::ScreenModule(const std::string& path) : path_(path) {
    // Global symbols, as the host loads packages: the screen's own modules
    // opened later by LoadBPL resolve against the same framework.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle_) {
        const char* err = dlerror();
        throw Exception("cannot load the screen module " + path + ": " + (err ? err : "unknown reason"));
    }
    if (!dlsym(handle_, "IniProc")) throw Exception("the module " + path + " does not export IniProc");
}

void ScreenModule::IniProc() { reinterpret_cast<IniProcFn>(dlsym(handle_, "IniProc"))(); }

std::optional<Variant> ScreenModule::UnitVariable(const std::string& name) const {
    if (auto fn = reinterpret_cast<UnitVariableFn>(dlsym(handle_, "UnitVariable"))) {
        Variant v;
        if (fn(name.c_str(), &v)) return v;
    }
    void* sym = dlsym(handle_, name.c_str());
    if (!sym) return std::nullopt;
    if (text::StartsWith(name, "bo")) return Variant(*static_cast<const bool*>(sym));
    if (text::StartsWith(name, "st")) return Variant(*static_cast<const std::string*>(sym));
    if (text::StartsWith(name, "in")) return Variant(*static_cast<const int*>(sym));
    if (text::StartsWith(name, "dt")) return Variant(*static_cast<const TDateTime*>(sym));
    return std::nullopt;  // a symbol whose type the name does not tell
}

std::string DefaultModulePath() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::filesystem::path exe = n > 0 ? std::filesystem::path(std::string(buf, static_cast<size_t>(n))) : "pla-script";
    return (exe.parent_path() / ".." / "lib" / "libpla02000.so").lexically_normal().string();
}

}  // namespace script
