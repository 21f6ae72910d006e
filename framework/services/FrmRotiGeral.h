#pragma once
// TfrmRotiGeral: the base dialog. A help panel (panAjuda with lblAjuda) and a
// button panel (panBotoes) with the confirm button sbtConfirma and the exit
// button sbtSair. Confirm closes the dialog with mrOk (a screen overrides
// sbtConfirmaClick and calls the base when it is done); Esc and exit close it
// with mrCancel.
#include "ui/Form.h"
#include "ui/StdCtrls.h"

class TfrmRotiGeral : public TForm {
public:
    TfrmRotiGeral();
    std::string ClassName() const override { return "TfrmRotiGeral"; }

    TPanel* panAjuda;
    TLabel* lblAjuda;
    TPanel* panBotoes;
    TSpeedButton* sbtConfirma;
    TSpeedButton* sbtSair;

    virtual void sbtConfirmaClick(TObject* Sender);
    virtual void sbtSairClick(TObject* Sender);
    // Esc closes the dialog.
    virtual void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
};
