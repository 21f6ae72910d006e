#pragma once
// Search lists over a dataset: the dialog service shows the rows (as text) and
// the dataset moves to the row picked. Titles may carry the text shown for an
// empty list after a "|" ("Produto|Não há produto cadastrado.").
#include "data/DataSource.h"
#include "ui/StdCtrls.h"

#include <functional>
#include <string>
#include <vector>

struct SearchTitle {
    std::string Title;
    std::string EmptyText;  // "Nenhum registro encontrado." unless given
};
SearchTitle ParseSearchTitle(const std::string& title);

// Shows the visible fields of `ds` (or `fields` when given, "A;B" names) and
// moves to the row picked. An empty dataset shows the empty-list text and
// returns false; a cancelled list returns false and leaves the cursor.
// Throws Exception for an inactive dataset or an unknown field.
bool SearchDataSet(TDataSet& ds, const std::string& title, const std::string& fields = "");
// Multi-select: the rows picked (0-based, as the dataset shows them); the
// cursor is left on the last of them. Empty when cancelled or empty.
std::vector<int> SearchDataSetMulti(TDataSet& ds, const std::string& title, const std::string& fields = "");

// Search button beside a field: the before-handler prepares the list and may
// refuse, the list is shown over ListSource, and the after-handler takes the
// row picked.
using TBeforePesqEvent = std::function<void(TObject* Sender, bool& PodePesquisar)>;

class TBtnPesquisa : public TSpeedButton {
public:
    std::string ClassName() const override { return "TBtnPesquisa"; }
    TDataSource* ListSource = nullptr;
    std::string Title;           // list title
    std::string EmptyListText;   // shown when the list is empty
    std::string Fields;          // "A;B" columns; empty = the visible fields
    TBeforePesqEvent OnBeforePesq;
    TNotifyEvent OnAfterPesq;
    // Before-handler, list, after-handler when a row was picked. Returns whether one was.
    bool Pesquisar();
    void Click() override;
};
