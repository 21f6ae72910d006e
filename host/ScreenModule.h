#pragma once
// The withdrawal screen's package, loaded on first use. The library stays
// loaded for the process's life: its forms and handlers live in the toolkit
// long after the entry returns.
#include <string>

namespace host {

class ScreenModule {
public:
    explicit ScreenModule(std::string path);
    // libpla02000.so in ../lib beside the running program.
    static std::string DefaultPath();
    const std::string& Path() const { return path_; }

    // Loads the package when needed and calls its IniProc. Throws Exception
    // naming the library or the entry when either is missing; the entry's own
    // exceptions pass through.
    void IniProc();
    bool Loaded() const { return handle_ != nullptr; }

private:
    void load();
    std::string path_;
    void* handle_ = nullptr;
    void (*iniProc_)() = nullptr;
};

}  // namespace host
