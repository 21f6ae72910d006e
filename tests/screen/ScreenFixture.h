#pragma once
// The withdrawal screen under test: one in-process application server over a
// fresh demo database for the whole test program (reached as
// "inproc://screen", counting the remote calls), the local queries on the same
// database, a signed-on DEMO operator, a stand-in main window and scripted dialogs.
#include "Cli_pla02000/Retirada.h"
#include "services/Morvena.h"
#include "ui/Application.h"
#include "ui/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace screen_test {

// Remote calls by method name (without module), since the last ResetCalls.
int Calls(const std::string& method);
void ResetCalls();
// The next call of `method` is answered with `value` instead of reaching the
// server (an answer this server never gives); ResetCalls drops it.
void AnswerOnce(const std::string& method, Variant value);
// The next call of `method` runs on the server, but its answer is lost on the
// way back: the caller gets an internal error instead. ResetCalls drops it.
void LoseNextAnswer(const std::string& method);
// Runs SQL on the demo database (between tests: it is shared by the program).
void Execute(const std::string& sql);
// The first column of the first row of a query on it ("null" for none), trimmed.
std::string QueryText(const std::string& sql);

// The browse filter dialog as these tests see it: a hook that plays the dialog
// (default: cancelled, returns false).
extern std::function<bool()> FiltroRetiradaHook;
// Plays a confirmed filter on the form: what the dialog does on confirmation,
// for a one-day range (or first..last) and every service of the branch.
bool ConfirmaFiltro(TfrmRetirada& f, TDateTime first, TDateTime last);

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens the screen as the host does (CriaRetirada); the form or null.
    TfrmRetirada* Open();
    // Open() on branch 0001, then the browse list of today+firstDay..today+lastDay
    // loaded by leaving the branch field; the form or null.
    TfrmRetirada* OpenWithList(int firstDay, int lastDay);
    ScriptedDialogs& dialogs() { return *dialogs_; }
    // The lines shown so far ("ErrorBox[Error] \"...\"").
    std::string Shown() const { return dialogs_->TranscriptText(); }
    Morvena::UserContext& ctx() { return Morvena::Context(); }
    TForm* main_ = nullptr;
    // Open() puts FiltroRetiradaHook in place of the browse filter dialog
    // unless a fixture clears this before opening.
    bool playFilterDialog_ = true;

private:
    ScriptedDialogs* dialogs_ = nullptr;
};

}  // namespace screen_test
