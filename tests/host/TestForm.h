#pragma once
// A small form with one control of each kind the screens use, for the view tests.
#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/Pages.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

struct TestForm {
    TClientDataSet cds;
    TDataSource dts;
    TForm* form{};
    TPanel* panTop{};
    TEdit* edtA{};
    TEdit* edtB{};
    TCheckBox* chbFlag{};
    TButton* btnOk{};
    TPageControl* pgc{};
    TTabSheet* tshGrid{};
    TTabSheet* tshOther{};
    TDBGrid* grid{};
    TEdit* edtOther{};
    std::vector<std::string> log;
    bool allowPageChange = true;

    void Build() {
        cds.AddField("CODE", TFieldType::ftString, 5);
        cds.AddField("QTY", TFieldType::ftFloat).DisplayFormat = "#,##0.00";
        cds.AddField("STATUS", TFieldType::ftString, 1);
        cds.CreateDataSet();
        cds.AppendRecord({"A", 1.0, "N"});
        cds.AppendRecord({"B", 2.0, "D"});
        cds.AppendRecord({"C", 3.0, "N"});
        cds.First();
        dts.SetDataSet(&cds);

        form = Application().CreateForm<TForm>("frmTeste");
        form->SetCaption("Formulário de teste");
        form->SetBounds(10, 10, 640, 420);
        panTop = TComponent::Create<TPanel>(form, "panTop");
        panTop->SetParent(form);
        panTop->SetAlign(TAlign::alTop);
        panTop->SetHeight(60);
        edtA = TComponent::Create<TEdit>(form, "edtA");
        edtA->SetParent(panTop);
        edtA->SetBounds(8, 28, 100, 22);
        edtA->OnExit = [this](TObject*) {
            log.push_back("exit edtA");
            if (edtA->Text() == "X") throw Exception("Código inválido.");
        };
        edtB = TComponent::Create<TEdit>(form, "edtB");
        edtB->SetParent(panTop);
        edtB->SetBounds(120, 28, 100, 22);
        edtB->SetCharCase(TEditCharCase::ecUpperCase);
        chbFlag = TComponent::Create<TCheckBox>(form, "chbFlag");
        chbFlag->SetParent(panTop);
        chbFlag->SetBounds(240, 28, 100, 20);
        chbFlag->SetCaption("Marcado");
        btnOk = TComponent::Create<TButton>(form, "btnOk");
        btnOk->SetParent(panTop);
        btnOk->SetBounds(360, 26, 80, 25);
        btnOk->SetCaption("OK");
        btnOk->OnClick = [this](TObject*) { log.push_back("click btnOk"); };

        pgc = TComponent::Create<TPageControl>(form, "pgc");
        pgc->SetParent(form);
        pgc->SetAlign(TAlign::alClient);
        tshGrid = TComponent::Create<TTabSheet>(form, "tshGrid");
        tshGrid->SetPageControl(pgc);
        tshGrid->SetCaption("Itens");
        tshOther = TComponent::Create<TTabSheet>(form, "tshOther");
        tshOther->SetPageControl(pgc);
        tshOther->SetCaption("Outra");
        pgc->SetActivePage(tshGrid);
        pgc->OnChanging = [this](TObject*, bool& allow) { allow = allowPageChange; };
        edtOther = TComponent::Create<TEdit>(form, "edtOther");
        edtOther->SetParent(tshOther);
        edtOther->SetBounds(8, 8, 100, 22);

        grid = TComponent::Create<TDBGrid>(form, "dbgItens");
        grid->SetParent(tshGrid);
        grid->SetAlign(TAlign::alClient);
        grid->SetDataSource(&dts);
        grid->Columns().Add("CODE", "Código", 80);
        grid->Columns().Add("QTY", "Quantidade", 100).Alignment = TAlignment::taRightJustify;
        grid->Columns().Add("STATUS", "OK", 40);
        grid->OnColExit = [this](TObject*) { log.push_back("colexit " + grid->SelectedField()->FieldName()); };
    }
};
