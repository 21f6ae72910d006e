// A small screen module for the driver's own tests, loaded like the screen
// package: it exports IniProc (opens frmTeste) and unit variables, both as
// plain symbols typed by their prefix and through UnitVariable.
#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "data/DataSource.h"
#include "db/ADOIBQuery.h"
#include "net/NetConnection.h"
#include "services/Morvena.h"
#include "services/Msgaler.h"
#include "services/Pesquisa.h"
#include "ui/Application.h"
#include "ui/Clipboard.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/PublishedDataSet.h"
#include "ui/StdCtrls.h"

#include <string>

extern "C" {
bool boAberto = false;
std::string stResposta;
int inCliques = 0;
}

namespace {

int inOpcao = 0;
int inResultado = 0;

class TfrmDialogo : public TForm {
public:
    TfrmDialogo() {
        SetCaption("Filtro");
    }
    std::string ClassName() const override { return "TfrmDialogo"; }
    TEdit* edtFiltro = nullptr;
    TButton *btnOk = nullptr, *btnCancelar = nullptr;
    void Loaded() override {
        edtFiltro = TComponent::Create<TEdit>(this, "edtFiltro");
        edtFiltro->SetParent(this);
        btnOk = TComponent::Create<TButton>(this, "btnOk");
        btnOk->SetParent(this);
        btnOk->ModalResult = mrOk;
        btnOk->Default = true;
        btnCancelar = TComponent::Create<TButton>(this, "btnCancelar");
        btnCancelar->SetParent(this);
        btnCancelar->ModalResult = mrCancel;
        btnCancelar->Cancel = true;
    }
};

class TfrmTeste : public TForm {
public:
    std::string ClassName() const override { return "TfrmTeste"; }
    TClientDataSet cdsItens, cdsTipos;
    TDataSource dtsItens;
    TADOIBQuery qryFilial;

    template <class T>
    T* add(const char* name, TWinControl* parent) {
        T* c = TComponent::Create<T>(this, name);
        c->SetParent(parent);
        return c;
    }

    void Loaded() override {
        SetCaption("Teste");
        cdsItens.Name = "cdsItens";
        cdsItens.AddField("CODIGO", TFieldType::ftString, 5);
        cdsItens.AddField("QTDE", TFieldType::ftFloat).DisplayFormat = "#,##0.00";
        cdsItens.AddField("DATA", TFieldType::ftDateTime);
        cdsItens.AddField("ATIVO", TFieldType::ftBoolean);
        cdsItens.CreateDataSet();
        cdsItens.AppendRecord({"A1", 1234.5, EncodeDate(2026, 3, 1), true});
        cdsItens.AppendRecord({"B2", 2.0, Variant(), false});
        cdsItens.AppendRecord({"C3", Variant(), EncodeDate(2026, 3, 3), true});
        cdsItens.First();
        dtsItens.SetDataSet(&cdsItens);
        cdsTipos.Name = "cdsTipos";
        PublishDataSet(*this, cdsTipos);
        qryFilial.Name = "qryFilial";
        qryFilial.SQL = "SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL";

        auto* menu = TComponent::Create<TMainMenu>(this, "mnuPrincipal");
        SetMenu(menu);
        auto* acoes = TComponent::Create<TMenuItem>(this, "mnuAcoes");
        acoes->SetCaption("Ações");
        menu->Items().Add(acoes);
        auto* salvar = TComponent::Create<TMenuItem>(this, "mnuSalvar");
        salvar->SetCaption("Salvar");
        salvar->SetShortCut("Ctrl+S");
        salvar->OnClick = [](TObject*) { ShowMessage("Salvo."); };
        acoes->Add(salvar);
        auto* bloqueado = TComponent::Create<TMenuItem>(this, "mnuBloqueado");
        bloqueado->SetCaption("Bloqueado");
        bloqueado->SetEnabled(false);
        bloqueado->OnClick = [](TObject*) { ShowMessage("Não devia."); };
        acoes->Add(bloqueado);

        auto* pan = add<TPanel>("panTopo", this);
        auto* edtNome = add<TEdit>("edtNome", pan);
        edtNome->OnKeyDown = [edtNome](TObject*, WORD& key, TShiftState shift) {
            if (key == 'V' && shift.Ctrl) {
                edtNome->SetText(Clipboard().AsText());
                key = 0;
            }
        };
        add<TRadioButton>("rdbUm", pan)->SetChecked(true);
        add<TRadioButton>("rdbDois", pan);
        auto* lbl = TComponent::Create<TLabel>(this, "lblFilial");
        lbl->SetParent(pan);

        auto* grid = add<TDBGrid>("dbgItens", this);
        grid->SetDataSource(&dtsItens);
        grid->Columns().Add("CODIGO", "Código");
        grid->Columns().Add("QTDE", "Quantidade");
        grid->Columns().Add("DATA", "Data");

        auto button = [&](const char* name, std::function<void()> fn) {
            auto* b = add<TButton>(name, this);
            b->OnClick = [fn](TObject*) {
                ++inCliques;
                fn();
            };
            return b;
        };
        button("btnMensagem", [] {
            stResposta = MessageDlg("Confirma operação?", TMsgDlgType::mtConfirmation,
                                    {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) == mrYes
                             ? "sim"
                             : "não";
        });
        button("btnDialogo", [this] {
            auto* dlg = Application().CreateForm<TfrmDialogo>("frmDialogo");
            inResultado = dlg->ShowModal();
            if (inResultado == mrOk) {
                cdsItens.SetFilter("CODIGO = '" + dlg->edtFiltro->Text() + "'");
                cdsItens.SetFiltered(true);
            }
            dlg->Release();
        });
        button("btnOpcoes", [] {
            inOpcao = Tmsgaler::MsgAlertEx("Escolha uma opção:\r\n\r\n[Um] primeira\r\n[Dois] segunda",
                                           TMsgDlgType::mtConfirmation, {"Um", "Dois", "Três"}, 1);
        });
        button("btnLista", [this] { Pesquisa::Pesquisar(&dtsItens, "Itens"); });
        button("btnAbrir", [] { Morvena::LoadBPL("PLA02100", Variant("M")); });
        button("btnTipos", [this] {
            TNetConnection net("netTeste", "Pla02000.rdmRetirada");
            net.ThrowException = false;
            net.Host = Morvena::WebURL();
            net.Port = Morvena::WebPort();
            net.Open();
            Variant data = net.Call("GetTipoReti");
            net.Close();
            if (data.IsString()) throw Exception(data.AsString());
            cdsTipos.SetData(data);
        });
        button("btnParam", [] {
            TNetConnection net("netTeste", "Pla02000.rdmRetirada");
            net.ThrowException = false;
            net.Host = Morvena::WebURL();
            net.Port = Morvena::WebPort();
            net.Open();
            net.Call("GetParamFilial", VariantArray{Variant(Morvena::FiliProc())});
            net.Close();
        });
        button("btnFilial", [this, lbl] {
            qryFilial.Close();
            qryFilial.ParamByName("P_CDFILIAL").SetAsString(Morvena::FiliProc());
            qryFilial.Open();
            lbl->SetCaption(qryFilial.IsEmpty() ? "?" : qryFilial.FieldByName("NMFILIAL").AsString());
            qryFilial.Close();
        });
        button("btnErro", [] { throw Exception("Falha de teste."); });
    }
};

}  // namespace

extern "C" {

void IniProc() {
    auto* form = Application().FindComponent("frmTeste");
    if (!form) form = Application().CreateForm<TfrmTeste>("frmTeste");
    boAberto = true;
    static_cast<TForm*>(form)->Show();
}

bool UnitVariable(const char* name, Variant* value) {
    std::string n = name;
    if (n == "inOpcao") *value = Variant(inOpcao);
    else if (n == "inResultado") *value = Variant(inResultado);
    else return false;
    return true;
}

}
