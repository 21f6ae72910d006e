#pragma once
// The browse filter dialog driven as a user would: the screen is opened on
// the demo branch, the dialog is shown by the screen's "Filtrar Lançamentos",
// and the user's steps while it is shown are queued for the input loop.
#include "ScreenFixture.h"

#include "Cli_pla02010/FiltroRetirada.h"

#include <deque>
#include <functional>
#include <string>

namespace filterdlg_test {

class DialogTest : public screen_test::ScreenTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The screen, opened for branch 0001; the dialog, created on first use.
    TfrmRetirada& Screen();
    TfrmFiltroRetirada& Dialog();
    // Queues a step for the input loop of the modal dialog.
    void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }
    // Steps the user commonly takes while the dialog is shown.
    void Confirm();  // clicks sbtConfirma, which must close the dialog
    void Press();    // clicks sbtConfirma, whatever comes of it
    void Escape();   // presses Esc
    void Fill(const std::string& service, TDateTime retIni, TDateTime retFin, TDateTime cardIni, TDateTime cardFin);
    // The user opens the dialog: leaving the branch panel (Tab) while the focus
    // is there, else the screen's "Filtrar Lançamentos". The steps queued are
    // played meanwhile.
    void OpenFromScreen();
    bool Visible() { return Dialog().Visible(); }

    TDateTime today;

private:
    std::deque<std::function<void()>> steps_;
    TfrmRetirada* screen_ = nullptr;
};

}  // namespace filterdlg_test
