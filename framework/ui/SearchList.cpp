#include "ui/SearchList.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "ui/Dialogs.h"

SearchTitle ParseSearchTitle(const std::string& title) {
    SearchTitle t;
    auto bar = title.find('|');
    t.Title = bar == std::string::npos ? title : title.substr(0, bar);
    t.EmptyText = bar == std::string::npos ? "" : title.substr(bar + 1);
    if (t.EmptyText.empty()) t.EmptyText = "Nenhum registro encontrado.";
    return t;
}

namespace {

std::vector<TField*> listFields(TDataSet& ds, const std::string& fields) {
    std::vector<TField*> out;
    if (!text::Trim(fields).empty()) {
        for (auto& name : text::Split(fields, ';')) out.push_back(&ds.FieldByName(text::Trim(name)));
        return out;
    }
    for (int i = 0; i < ds.FieldCount(); ++i)
        if (ds.Fields(i).Visible) out.push_back(&ds.Fields(i));
    return out;
}

// Shows the list; empty result for cancel or an empty dataset.
std::vector<int> showList(TDataSet& ds, const std::string& title, const std::string& fields, bool multi) {
    if (!ds.Active()) throw Exception("A lista de pesquisa precisa de um conjunto de dados aberto.");
    ds.CheckBrowseMode();
    SearchTitle t = ParseSearchTitle(title);
    if (ds.IsEmpty()) {
        Dialogs().MessageBox(t.EmptyText, TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK}, 0);
        return {};
    }
    SearchListRequest req;
    req.Title = t.Title;
    req.MultiSelect = multi;
    auto cols = listFields(ds, fields);
    for (auto* f : cols) req.Columns.push_back({f->FieldName(), f->DisplayLabel()});
    int n = ds.RowCount();
    for (int r = 0; r < n; ++r) {
        std::vector<std::string> row;
        for (auto* f : cols) row.push_back(ds.DisplayTextAt(r, *f));
        req.Rows.push_back(std::move(row));
    }
    req.CurrentRow = ds.CurrentRow();
    auto picked = Dialogs().SearchList(req);
    if (!picked.empty()) {
        int target = picked.back();
        if (target >= 0 && target < n) ds.MoveBy(target - ds.CurrentRow());
    }
    return picked;
}

}  // namespace

bool SearchDataSet(TDataSet& ds, const std::string& title, const std::string& fields) {
    return !showList(ds, title, fields, false).empty();
}

std::vector<int> SearchDataSetMulti(TDataSet& ds, const std::string& title, const std::string& fields) {
    return showList(ds, title, fields, true);
}

bool TBtnPesquisa::Pesquisar() {
    bool may = true;
    if (OnBeforePesq) OnBeforePesq(this, may);
    if (!may) return false;
    if (!ListSource || !ListSource->DataSet() || !ListSource->Enabled())
        throw Exception("A pesquisa " + Name() + " não tem lista.");
    std::string title = Title;
    if (!EmptyListText.empty() && title.find('|') == std::string::npos) title += "|" + EmptyListText;
    if (!SearchDataSet(*ListSource->DataSet(), title, Fields)) return false;
    if (OnAfterPesq) OnAfterPesq(this);
    return true;
}

void TBtnPesquisa::Click() {
    // The button's own click is the search; OnClick, when set, runs first.
    TSpeedButton::Click();
    Pesquisar();
}
