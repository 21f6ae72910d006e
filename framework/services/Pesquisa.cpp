#include "services/Pesquisa.h"

#include "core/Exception.h"
#include "ui/Dialogs.h"
#include "ui/SearchList.h"

namespace {

TDataSet& listOf(TDataSource* source) {
    if (!source || !source->DataSet()) throw Exception("A pesquisa não tem fonte de dados.");
    if (!source->Enabled()) throw Exception("A fonte de dados " + source->Name + " da pesquisa está desabilitada.");
    TDataSet& ds = *source->DataSet();
    if (!ds.Active()) ds.Open();
    return ds;
}

}  // namespace

namespace Pesquisa {

bool Pesquisar(TDataSource* source, const std::string& title, const std::string& fields) {
    return SearchDataSet(listOf(source), title, fields);
}

}  // namespace Pesquisa

namespace Pesqlista {

bool PesquisaLista(TDataSource* source, const std::string& codeField, const std::string& title, bool singleSelect,
                   std::string& result) {
    TDataSet& ds = listOf(source);
    TField& code = ds.FieldByName(codeField);
    std::vector<int> rows =
        singleSelect ? (SearchDataSet(ds, title) ? std::vector<int>{ds.CurrentRow()} : std::vector<int>{})
                     : SearchDataSetMulti(ds, title);
    if (rows.empty()) return false;
    std::string list;
    for (int r : rows) list += ds.ValueAt(r, code).AsString() + "_";
    result = list;
    return true;
}

}  // namespace Pesqlista

namespace Procurar {

bool Procura(TDataSet* dataSet, const std::string& title) {
    if (!dataSet || !dataSet->Active()) throw Exception("Não há dados para procurar.");
    FindRequest req;
    req.Title = title;
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
        TField& f = dataSet->Fields(i);
        if (f.Visible) req.Columns.push_back({f.FieldName(), f.DisplayLabel()});
    }
    auto what = Dialogs().Find(req);
    if (!what) return false;
    dataSet->CheckBrowseMode();
    if (dataSet->Locate(what->FieldName, Variant(what->Text), loCaseInsensitive | loPartialKey)) return true;
    Dialogs().MessageBox("Registro não encontrado.", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK}, 0);
    return false;
}

}  // namespace Procurar
