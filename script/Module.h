#pragma once
// The screen package, loaded the way the host loads it: dlopen by path, the
// exported `IniProc` (C linkage, no arguments) opens the screen. Unit
// variables are read through the package's exported
//   extern "C" bool UnitVariable(const char* name, Variant* value)
// when it has one (false = no such variable), else through an exported
// symbol of that name typed by its prefix: bo bool, st std::string, in int,
// dt TDateTime. The module stays loaded for the process's life.
#include "core/Variant.h"

#include <optional>
#include <string>

namespace script {

class ScreenModule {
public:
    // Throws Exception naming the path and the loader's reason, or the
    // missing IniProc.
    explicit ScreenModule(const std::string& path);
    const std::string& Path() const { return path_; }
    // Calls IniProc; the screen's exceptions pass through.
    void IniProc();
    // The variable's value, or nothing when the package has no such variable.
    std::optional<Variant> UnitVariable(const std::string& name) const;

private:
    std::string path_;
    void* handle_ = nullptr;
};

// <folder of the running program>/../lib/libpla02000.so
std::string DefaultModulePath();

}  // namespace script
