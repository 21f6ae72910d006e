#include "Lookup.h"

#include "core/Text.h"
#include "ui/Application.h"
#include "ui/DBCtrls.h"
#include "ui/DBGrid.h"
#include "ui/PublishedDataSet.h"
#include "ui/SearchList.h"

#include <algorithm>
#include <functional>

namespace script {

TForm* InputForm() {
    TForm* f = Application().ActiveForm();
    return f && f->Visible() ? f : nullptr;
}

std::vector<TForm*> SearchForms(bool observing) {
    std::vector<TForm*> forms;
    auto add = [&](TForm* f) {
        if (f && std::find(forms.begin(), forms.end(), f) == forms.end()) forms.push_back(f);
    };
    TForm* input = InputForm();
    add(input);
    if (input && input->Modal() && !observing) return forms;
    auto showing = Application().ShowingForms();
    for (auto it = showing.rbegin(); it != showing.rend(); ++it) add(*it);
    if (!observing) return forms;
    // Hidden forms too (a dialog kept for its last filter), and forms owned by forms.
    std::function<void(TComponent*)> walk = [&](TComponent* c) {
        for (int i = 0; i < c->ComponentCount(); ++i) {
            TComponent* k = c->Components(i);
            if (auto* f = dynamic_cast<TForm*>(k)) add(f);
            walk(k);
        }
    };
    walk(&Application());
    return forms;
}

namespace {

// Splits "frmX.name" when frmX is a form the application knows.
TForm* qualifier(const std::string& name, std::string& rest, bool observing) {
    auto dot = name.find('.');
    if (dot == std::string::npos) return nullptr;
    std::string formName = name.substr(0, dot);
    for (TForm* f : SearchForms(true))
        if (text::SameText(f->Name(), formName)) {
            rest = name.substr(dot + 1);
            if (!observing) {
                auto allowed = SearchForms(false);
                if (std::find(allowed.begin(), allowed.end(), f) == allowed.end()) return nullptr;
            }
            return f;
        }
    return nullptr;
}

void eachComponent(TComponent* root, const std::function<void(TComponent*)>& fn) {
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* c = root->Components(i);
        fn(c);
        eachComponent(c, fn);
    }
}

TDataSet* dataSetIn(TForm* form, const std::string& name) {
    TDataSet* found = nullptr;
    auto consider = [&](TDataSet* ds) {
        if (!found && ds && text::SameText(ds->Name, name)) found = ds;
    };
    auto viaSource = [&](TDataSource* s) {
        if (s) consider(s->DataSet());
    };
    eachComponent(form, [&](TComponent* c) {
        if (auto* r = dynamic_cast<TDataSetRef*>(c)) consider(r->DataSet());
        else if (auto* g = dynamic_cast<TDBGrid*>(c)) viaSource(g->DataSource());
        else if (auto* e = dynamic_cast<TDBEdit*>(c)) viaSource(e->DataSource());
        else if (auto* d = dynamic_cast<TDBDateEdit*>(c)) viaSource(d->DataSource());
        else if (auto* n = dynamic_cast<TDBNavigator*>(c)) viaSource(n->DataSource());
        else if (auto* b = dynamic_cast<TBtnPesquisa*>(c)) viaSource(b->ListSource);
    });
    return found;
}

}  // namespace

TComponent* FindComponentNamed(const std::string& name, bool observing) {
    std::string rest;
    if (TForm* f = qualifier(name, rest, observing)) return f->FindComponentDeep(rest);
    for (TForm* f : SearchForms(observing)) {
        if (text::SameText(f->Name(), name)) return f;
        if (auto* c = f->FindComponentDeep(name)) return c;
    }
    return nullptr;
}

TDataSet* FindDataSetNamed(const std::string& name) {
    std::string rest;
    if (TForm* f = qualifier(name, rest, true)) return dataSetIn(f, rest);
    for (TForm* f : SearchForms(true))
        if (auto* ds = dataSetIn(f, name)) return ds;
    return nullptr;
}

}  // namespace script
