#include "services/FrmFiltroPadrao.h"

#include "ui/Dialogs.h"

namespace {

std::map<std::string, std::map<std::string, std::string>>& saved() {
    static std::map<std::string, std::map<std::string, std::string>> s;
    return s;
}

void collect(const TWinControl* c, std::map<std::string, std::string>& out) {
    for (auto* child : c->ControlList()) {
        if (auto* e = dynamic_cast<TCustomEdit*>(child)) out[e->Name()] = e->Text();
        else if (auto* cb = dynamic_cast<TCheckBox*>(child)) out[cb->Name()] = std::string(1, cb->Checked() ? '1' : '0');
        else if (auto* rb = dynamic_cast<TRadioButton*>(child)) out[rb->Name()] = std::string(1, rb->Checked() ? '1' : '0');
        if (auto* w = dynamic_cast<TWinControl*>(child)) collect(w, out);
    }
}

}  // namespace

TfrmFiltroPadrao::TfrmFiltroPadrao() {
    grbFiltro = TComponent::Create<TGroupBox>(this, "grbFiltro");
    grbFiltro->SetParent(this);
    grbFiltro->SetAlign(TAlign::alClient);
    panBotao = TComponent::Create<TPanel>(this, "panBotao");
    panBotao->SetParent(panBotoes);
    btfSaveOpc = TComponent::Create<TSpeedButton>(this, "btfSaveOpc");
    btfSaveOpc->SetParent(panBotao);
    btfSaveOpc->SetHint("Salvar opções");
    btfLoadOpc = TComponent::Create<TSpeedButton>(this, "btfLoadOpc");
    btfLoadOpc->SetParent(panBotao);
    btfLoadOpc->SetHint("Carregar opções");
    btfSaveOpc->OnClick = [this](TObject* s) { btfSaveOpcClick(s); };
    btfLoadOpc->OnClick = [this](TObject* s) { btfLoadOpcClick(s); };
}

std::map<std::string, std::string> TfrmFiltroPadrao::Opcoes() const {
    std::map<std::string, std::string> out;
    collect(grbFiltro, out);
    return out;
}

void TfrmFiltroPadrao::btfSaveOpcClick(TObject*) { saved()[Name()] = Opcoes(); }

bool TfrmFiltroPadrao::LoadOpcoes() {
    auto it = saved().find(Name());
    if (it == saved().end()) return false;
    for (auto& [name, value] : it->second) {
        TComponent* c = FindComponentDeep(name);
        if (auto* e = dynamic_cast<TCustomEdit*>(c)) e->SetText(value);
        else if (auto* cb = dynamic_cast<TCheckBox*>(c)) cb->SetChecked(value == "1");
        else if (auto* rb = dynamic_cast<TRadioButton*>(c)) rb->SetChecked(value == "1");
    }
    return true;
}

void TfrmFiltroPadrao::btfLoadOpcClick(TObject*) {
    if (!LoadOpcoes()) ShowMessage("Não há opções salvas.");
}
