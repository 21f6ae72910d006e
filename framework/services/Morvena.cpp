#include "services/Morvena.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "ui/Application.h"

#include <dlfcn.h>

namespace Morvena {

namespace {

ScreenLoader& loader() {
    static ScreenLoader l;
    return l;
}

// The folder libframework.so was loaded from: the screen modules sit beside it.
std::string frameworkDir() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ResetContext), &info) && info.dli_fname) {
        std::string p = info.dli_fname;
        auto slash = p.rfind('/');
        if (slash != std::string::npos) return p.substr(0, slash);
    }
    return ".";
}

}  // namespace

void LoadModule(const std::string& code, const Variant& params) {
    std::string path = frameworkDir() + "/lib" + text::Lower(text::Trim(code)) + ".so";
    // Modules stay loaded for the process's life: their forms outlive the call.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        const char* err = dlerror();
        throw Exception("Não foi possível carregar o módulo " + code + ": " + (err ? err : path));
    }
    auto entry = reinterpret_cast<IniProcParamFn>(dlsym(handle, "IniProcParam"));
    if (!entry) throw Exception("O módulo " + code + " não exporta IniProcParam.");
    entry(&params);
}

UserContext& Context() {
    static UserContext ctx;
    return ctx;
}

void ResetContext() { Context() = UserContext{}; }

std::string FiliProc() { return Context().FiliProc; }
std::string Operador() { return Context().Operador; }
bool ModuFili() { return Context().ModuFili; }
std::string WebURL() { return Context().WebURL; }
int WebPort() { return Context().WebPort; }

TDateTime DataProc(const std::string& branch) {
    auto& ctx = Context();
    std::string key = text::Trim(branch);
    for (auto& [b, d] : ctx.DataProcFilial)
        if (text::Trim(b) == key) return d;
    return ctx.DataProcPadrao.Val != 0 ? ctx.DataProcPadrao : Date();
}

std::string DBPict(int kind) {
    if (kind == 0) return Context().PictProduto;
    if (kind == 1) return Context().PictPrato;
    throw Exception("Tipo de estrutura desconhecido: " + std::to_string(kind) + ".");
}

TDBPicture DBPictObj(int kind) { return TDBPicture(DBPict(kind)); }

void SetScreenLoader(ScreenLoader l) { loader() = std::move(l); }

void LoadBPL(const std::string& code, const Variant& params) {
    if (loader()) loader()(code, params);
    else LoadModule(code, params);
}

std::function<void(TMsg&, bool&)>& MsgEventForm() { return Application().OnMessage; }

}  // namespace Morvena
