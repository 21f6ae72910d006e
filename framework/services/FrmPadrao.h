#pragma once
// TfrmPadrao: the standard maintenance form. A tool bar (panMenu) with the
// include, alter, delete, confirm, cancel, find, print and exit buttons; the
// main menu mnuPrincipal with the same entries under mnuOperacao and the page
// entries; the page control pgcPadrao with the three pages tshFolhaDados
// (browse list), tshFormulario (the record) and tshResumo (summary); the data
// source dtsPadrao of the record's dataset; the catalog msgMensagensPadroes.
// Every event is bound to a virtual handler named after it; a screen
// overrides the handlers it needs and calls the base ones where it says so.
#include "data/DataSource.h"
#include "services/Messages.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/Pages.h"
#include "ui/StdCtrls.h"

class TfrmPadrao : public TForm {
public:
    TfrmPadrao();
    std::string ClassName() const override { return "TfrmPadrao"; }

    TPanel* panMenu;
    TSpeedButton *sbtIncluir, *sbtAlterar, *sbtExcluir, *sbtConfirmar, *sbtCancelar, *sbtProcurar, *sbtImprimir,
        *sbtSair;
    TMainMenu* mnuPrincipal;
    TMenuItem *mnuOperacao, *mnuIncluir, *mnuAlterar, *mnuExcluir, *mnuConfirmar, *mnuCancelar, *mnuProcurar,
        *mnuImprimir, *mnuFolhaDados, *mnuFormulario, *mnuResumo, *mnuSair;
    TPageControl* pgcPadrao;
    TTabSheet *tshFolhaDados, *tshFormulario, *tshResumo;
    TDataSource dtsPadrao;
    TMessages* msgMensagensPadroes;

    // Lifecycle. The base creation selects the browse page; the base close
    // releases the form (caFree); the others do nothing of their own.
    virtual void FormCreate(TObject* Sender);
    virtual void FormShow(TObject* Sender);
    virtual void FormActivate(TObject* Sender);
    virtual void FormDeactivate(TObject* Sender);
    virtual void FormCloseQuery(TObject* Sender, bool& CanClose);
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    virtual void FormDestroy(TObject* Sender);
    // The base form adds no keys of its own (KeyPreview is on for screens).
    virtual void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

    // Pages: the base allows every change and, after one, ticks the menu
    // entry of the active page.
    virtual void pgcPadraoChanging(TObject* Sender, bool& AllowChange);
    virtual void pgcPadraoChange(TObject* Sender);
    // Page entries: make the page active as if its tab were clicked.
    virtual void mnuFolhaDadosClick(TObject* Sender);
    virtual void mnuFormularioClick(TObject* Sender);
    virtual void mnuResumoClick(TObject* Sender);

    // Commands on dtsPadrao's dataset: insert, edit, delete (after "Confirma
    // exclusão?"), post, cancel, find (Procurar::Procura); print has no report
    // of its own in the base; exit closes the form.
    virtual void sbtIncluirClick(TObject* Sender);
    virtual void sbtAlterarClick(TObject* Sender);
    virtual void sbtExcluirClick(TObject* Sender);
    virtual void sbtConfirmarClick(TObject* Sender);
    virtual void sbtCancelarClick(TObject* Sender);
    virtual void sbtProcurarClick(TObject* Sender);
    virtual void sbtImprimirClick(TObject* Sender);
    virtual void sbtSairClick(TObject* Sender);

protected:
    // Selects a page as a user's tab click does (OnChanging may refuse).
    bool SelectPageAsUser(TTabSheet* page);
};
