#include "services/FrmRotiGeral.h"

TfrmRotiGeral::TfrmRotiGeral() {
    SetKeyPreview(true);
    SetBorderIcons({true, false, false, false});
    panAjuda = TComponent::Create<TPanel>(this, "panAjuda");
    panAjuda->SetParent(this);
    panAjuda->SetAlign(TAlign::alTop);
    lblAjuda = TComponent::Create<TLabel>(this, "lblAjuda");
    lblAjuda->SetParent(panAjuda);
    panBotoes = TComponent::Create<TPanel>(this, "panBotoes");
    panBotoes->SetParent(this);
    panBotoes->SetAlign(TAlign::alBottom);
    sbtConfirma = TComponent::Create<TSpeedButton>(this, "sbtConfirma");
    sbtConfirma->SetParent(panBotoes);
    sbtConfirma->SetCaption("Confirmar");
    sbtSair = TComponent::Create<TSpeedButton>(this, "sbtSair");
    sbtSair->SetParent(panBotoes);
    sbtSair->SetCaption("Sair");
    sbtConfirma->OnClick = [this](TObject* s) { sbtConfirmaClick(s); };
    sbtSair->OnClick = [this](TObject* s) { sbtSairClick(s); };
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
}

void TfrmRotiGeral::sbtConfirmaClick(TObject*) {
    if (Modal()) SetModalResult(mrOk);
    else Close();
}

void TfrmRotiGeral::sbtSairClick(TObject*) { Close(); }

void TfrmRotiGeral::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE && Shift.Empty()) {
        Key = 0;
        Close();
    }
}
