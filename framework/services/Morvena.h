#pragma once
// Morvena: the signed-on user's context (branch, operator, processing dates,
// server address, tree pictures), the opening of other screens, and the
// framework's key hook. The host or the script driver fills the context at
// sign-on; it is one per process.
#include "core/DateTime.h"
#include "core/Variant.h"
#include "services/DBPicture.h"
#include "ui/Keys.h"

#include <functional>
#include <map>
#include <string>

namespace Morvena {

struct UserContext {
    std::string FiliProc;       // branch of the user
    std::string Operador;       // operator code
    bool ModuFili = false;      // the user is bound to the branch
    std::string WebURL = "127.0.0.1";
    int WebPort = 8080;
    bool KeepConnected = false;  // connections stay open for a form's life
    // Processing date per branch (keys compare after trimming); branches not
    // listed use DataProcPadrao, or today's date when that is 0.
    std::map<std::string, TDateTime> DataProcFilial;
    TDateTime DataProcPadrao;
    // Edit masks of the tree codes: 0 products, 1 dishes.
    std::string PictProduto = "99.99.999;0;_";
    std::string PictPrato = "99.999;0;_";
    // Branch names by code, for the default branch validation (Consiste::ValidaFilial).
    std::map<std::string, std::string> Filiais;
};

// The process's user context.
UserContext& Context();
// Back to a fresh context (tests, sign-off).
void ResetContext();

std::string FiliProc();
std::string Operador();
TDateTime DataProc(const std::string& branch);
bool ModuFili();
std::string WebURL();
int WebPort();

// Edit mask of a tree picture (0 products, 1 dishes); Exception for another kind.
std::string DBPict(int kind);
// The picture object of that mask.
TDBPicture DBPictObj(int kind);

// Opens another screen of the suite by code with its parameters. The default
// loader loads lib<code in lower case>.so from the framework's own folder and
// calls its exported `IniProcParam(const Variant*)`; a missing module or entry
// raises Exception naming it. Tests and the script driver install their own.
using ScreenLoader = std::function<void(const std::string& code, const Variant& params)>;
void SetScreenLoader(ScreenLoader loader);  // empty restores the default
void LoadBPL(const std::string& code, const Variant& params);
// What the default loader does, for a loader that also opens the screen.
void LoadModule(const std::string& code, const Variant& params);

// The framework's key hook: the application's OnMessage. A form registers its
// handler while active (assign) and clears it when deactivated (assign nullptr).
std::function<void(TMsg& msg, bool& handled)>& MsgEventForm();

}  // namespace Morvena

// The signature of a screen module's entry called by LoadBPL.
extern "C" {
typedef void (*IniProcParamFn)(const Variant* params);
}
