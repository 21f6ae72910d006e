#include "Expectations.h"

#include <cstdio>

#include "Driver.h"
#include "Lookup.h"
#include "Transcript.h"

#include "core/Text.h"
#include "ui/DBGrid.h"
#include "ui/Menus.h"
#include "ui/Pages.h"
#include "ui/PublishedDataSet.h"
#include "ui/StdCtrls.h"

#include <cctype>
#include <cstdio>
#include <optional>

namespace script {

namespace {

// What was found, with null told apart from the text "null".
struct Found {
    std::string text;
    bool isNull = false;
};

bool isCount(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// "NAME(N)rest" or "NAME[N]rest": the name, N (from 1) and what follows the
// closing mark; nothing when the word has no opening mark.
struct Indexed {
    std::string first;
    int second = 0;
    std::string rest;
};
std::optional<Indexed> indexed(const std::string& word, char open, char close, const Command& c) {
    auto o = word.find(open);
    if (o == std::string::npos) return std::nullopt;
    auto k = word.find(close, o);
    std::string number = k == std::string::npos ? std::string() : word.substr(o + 1, k - o - 1);
    if (o == 0 || !isCount(number) || number.size() > 6 || std::stoi(number) == 0)
        throw ScenarioError(c.line, std::string("expect wants a number from 1 between ") + open + " and " + close +
                                        " after a name, not " + word);
    return Indexed{word.substr(0, o), std::stoi(number), word.substr(k + 1)};
}

Token valueAfterEquals(const Command& c, size_t from) {
    const auto& a = c.args;
    if (from < a.size() && !a[from].quoted && a[from].text == "=") {
        if (a.size() != from + 2) throw ScenarioError(c.line, "expect wants one value after '='");
        return a[from + 1];
    }
    throw ScenarioError(c.line, "expect wants NAME = VALUE, with blanks around '='");
}

std::string boolText(bool b) { return b ? "true" : "false"; }

Found controlProperty(TComponent* comp, const std::string& prop, const Command& c) {
    const std::string p = text::Lower(prop);
    if (auto* m = dynamic_cast<TMenuItem*>(comp)) {
        if (p == "enabled") return {boolText(m->Enabled())};
        if (p == "visible") return {boolText(m->Visible())};
        if (p == "checked") return {boolText(m->Checked())};
        if (p == "caption" || p == "text") return {m->Caption()};
        throw ScenarioError(c.line, "menu entry " + comp->Name() + " has no property " + prop);
    }
    auto* ctl = dynamic_cast<TControl*>(comp);
    if (!ctl) throw ScenarioError(c.line, comp->Name() + " is not a control (" + comp->ClassName() + ")");
    if (p == "enabled") return {boolText(ctl->Enabled())};
    if (p == "visible") {
        // A tab sheet is visible to the user when its tab is.
        if (auto* sheet = dynamic_cast<TTabSheet*>(ctl)) return {boolText(sheet->TabVisible() && sheet->Visible())};
        return {boolText(ctl->Visible())};
    }
    if (p == "caption") return {ctl->Caption()};
    if (p == "hint") return {ctl->Hint()};
    if (p == "text") {
        if (auto* e = dynamic_cast<TCustomEdit*>(ctl)) return {e->Text()};
        if (auto* cb = dynamic_cast<TComboBox*>(ctl)) return {cb->Text()};
        if (auto* g = dynamic_cast<TDBGrid*>(ctl)) return {g->SelectedCellText()};
        if (auto* lb = dynamic_cast<TListBox*>(ctl)) {
            int i = lb->ItemIndex();
            return {i >= 0 && i < static_cast<int>(lb->Items.size()) ? lb->Items[static_cast<size_t>(i)] : ""};
        }
        return {ctl->Caption()};
    }
    if (auto* lb = dynamic_cast<TListBox*>(ctl)) {
        if (p == "count") return {std::to_string(lb->Items.size())};
        if (p == "items") {
            std::string all;
            for (size_t i = 0; i < lb->Items.size(); ++i) all += (i ? "\n" : "") + lb->Items[i];
            return {all};
        }
    }
    if (p == "checked") {
        if (auto* cb = dynamic_cast<TCheckBox*>(ctl)) return {boolText(cb->Checked())};
        if (auto* rb = dynamic_cast<TRadioButton*>(ctl)) return {boolText(rb->Checked())};
        if (auto* sb = dynamic_cast<TSpeedButton*>(ctl)) return {boolText(sb->Down)};
        throw ScenarioError(c.line, comp->Name() + " (" + comp->ClassName() + ") has no property checked");
    }
    if (p == "focused") {
        auto* w = dynamic_cast<TWinControl*>(ctl);
        return {boolText(w && w->Focused())};
    }
    if (auto* g = dynamic_cast<TDBGrid*>(ctl)) {
        if (p == "columns") return {std::to_string(g->Columns().Count())};
        if (p == "column") {
            auto* col = g->SelectedColumn();
            return {col ? col->FieldName : "", col == nullptr};
        }
    }
    throw ScenarioError(c.line, comp->Name() + " (" + comp->ClassName() + ") has no property " + prop);
}

Found dataSetProperty(TDataSet* ds, const std::string& prop, const Command& c) {
    if (prop == "state") {
        std::string s = DataSetStateName(ds->State());
        if (text::StartsWith(s, "ds")) s = s.substr(2);
        return {text::Lower(s)};
    }
    if (prop == "count") return {ds->Active() ? std::to_string(ds->RecordCount()) : "inactive"};
    if (prop == "filter") return {ds->Filter()};
    TField* f = ds->FindField(prop);
    if (!f) {
        // Fields of a closed dataset without declared ones are not known yet.
        if (!ds->Active()) return {"(dataset " + ds->Name + " is inactive)"};
        throw ScenarioError(c.line, "dataset " + ds->Name + " has no field " + prop);
    }
    if (!ds->Active()) return {"(dataset " + ds->Name + " is inactive)"};
    return {FieldText(*f), f->IsNull()};
}

// How a drawn cell looks, as scenarios name it: its image ("none" without
// one), its font colour ("red", "windowtext", "captiontext", else "#RRGGBB"),
// its alignment ("left", "right", "center").
std::string DrawnAspect(const TCellPresentation& cell, const std::string& aspect) {
    if (aspect == "image") return cell.Image.empty() ? "none" : cell.Image;
    if (aspect == "align")
        return cell.Alignment == TAlignment::taRightJustify ? "right"
               : cell.Alignment == TAlignment::taCenter     ? "center"
                                                            : "left";
    switch (cell.FontColor) {
        case clRed: return "red";
        case clWindowText: return "windowtext";
        case clCaptionText: return "captiontext";
        default: break;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02X%02X%02X", cell.FontColor & 0xFF, (cell.FontColor >> 8) & 0xFF,
                  (cell.FontColor >> 16) & 0xFF);
    return hex;
}

// A cell of a grid (its column of the field, as the grid shows it) or of a
// dataset, at a row from 1, without moving the cursor. False, with what the
// grid or dataset holds, when the row is not there.
bool cellAt(const Expectation& e, const Command& c, Found& found, std::string& missing) {
    TComponent* comp = FindComponentNamed(e.target, true);
    TDataSet* ds = nullptr;
    TDBGrid* grid = dynamic_cast<TDBGrid*>(comp);
    if (auto* ref = dynamic_cast<TDataSetRef*>(comp)) ds = ref->DataSet();
    else if (grid) ds = grid->DataSet();
    else if (comp) throw ScenarioError(c.line, e.target + " is neither a grid nor a dataset");
    else ds = FindDataSetNamed(e.target);
    if (!ds && !grid) throw ScenarioError(c.line, "no grid or dataset named " + e.target);
    int column = -1;
    if (grid) {
        column = grid->ColumnIndexOf(e.property);
        if (column < 0) throw ScenarioError(c.line, "grid " + grid->Name() + " has no column " + e.property);
    }
    if (!ds || !ds->Active()) {
        missing = "the dataset is inactive";
        return false;
    }
    TField* f = ds->FindField(e.property);
    if (!f) throw ScenarioError(c.line, "dataset " + ds->Name + " has no field " + e.property);
    const int row = e.index - 1;
    if (row >= ds->RowCount()) {
        missing = std::to_string(ds->RowCount()) + " row(s)";
        return false;
    }
    if (!e.aspect.empty()) {
        if (!grid) throw ScenarioError(c.line, "image, color and align are a grid's, not a dataset's");
        found = {DrawnAspect(grid->CellPresentation(row, column), e.aspect)};
        return true;
    }
    Variant v = ds->ValueAt(row, *f);
    if (v.IsNull()) found = {"", true};
    else if (f->DataType() == TFieldType::ftBoolean) found = {v.AsBoolean() ? "true" : "false"};
    else if (grid) found = {grid->CellPresentation(row, column).Text};
    else found = {ds->DisplayTextAt(row, *f)};
    return true;
}

bool matches(const Found& found, const Token& expected) {
    if (!expected.quoted && expected.text == "null") return found.isNull;
    if (found.isNull) return false;
    return found.text == expected.text;
}

std::string shown(const Found& f) { return f.isNull ? "null" : "\"" + f.text + "\""; }

}  // namespace

std::string FieldText(const TField& field) {
    if (field.IsNull()) return "null";
    if (field.DataType() == TFieldType::ftBoolean) return field.AsBoolean() ? "true" : "false";
    return field.DisplayText();
}

Expectation ParseExpectation(const Command& c) {
    const auto& a = c.args;
    Expectation e;
    if (a.empty()) throw ScenarioError(c.line, "expect what?");
    const std::string first = a[0].quoted ? std::string() : text::Lower(a[0].text);
    if (first == "message") {
        if (a.size() != 2 || !a[1].quoted) throw ScenarioError(c.line, "expect message wants one quoted text");
        e.kind = Expectation::Kind::Message;
        e.value = a[1];
        return e;
    }
    if (first == "no") {
        if (a.size() != 2 || text::Lower(a[1].text) != "message") throw ScenarioError(c.line, "did you mean: expect no message");
        e.kind = Expectation::Kind::NoMessage;
        return e;
    }
    if (first == "calls") {
        if (a.size() < 2) throw ScenarioError(c.line, "expect calls METHOD = N");
        e.value = valueAfterEquals(c, 2);
        if (auto arg = indexed(a[1].text, '(', ')', c)) {
            e.kind = Expectation::Kind::CallArgument;
            e.target = arg->first;
            e.index = arg->second;
            if (!arg->rest.empty()) throw ScenarioError(c.line, "expect calls METHOD(N) = VALUE, not " + a[1].text);
            return e;
        }
        e.kind = Expectation::Kind::Calls;
        e.target = a[1].text;
        if (!isCount(e.value.text)) throw ScenarioError(c.line, "expect calls wants a count, not " + e.value.text);
        return e;
    }
    if (first == "sql") {
        if (a.size() < 2 || !a[1].quoted) throw ScenarioError(c.line, "expect sql wants its statement in quotes");
        e.kind = Expectation::Kind::Sql;
        e.target = a[1].text;
        e.value = valueAfterEquals(c, 2);
        return e;
    }
    if (first == "form" || first == "focus" || first == "page") {
        e.kind = first == "form" ? Expectation::Kind::Form
                 : first == "focus" ? Expectation::Kind::Focus
                                    : Expectation::Kind::Page;
        e.value = valueAfterEquals(c, 1);
        e.target = e.value.text;
        return e;
    }
    if (a[0].quoted) throw ScenarioError(c.line, "expect wants NAME.PROPERTY = VALUE");
    if (auto cell = indexed(a[0].text, '[', ']', c)) {
        if (cell->rest.size() < 2 || cell->rest[0] != '.')
            throw ScenarioError(c.line, "expect wants NAME[ROW].FIELD = VALUE, not " + a[0].text);
        e.kind = Expectation::Kind::Cell;
        e.target = cell->first;
        e.index = cell->second;
        e.property = cell->rest.substr(1);
        if (auto dot = e.property.find('.'); dot != std::string::npos) {
            e.aspect = text::Lower(e.property.substr(dot + 1));
            e.property = e.property.substr(0, dot);
            if (e.aspect != "image" && e.aspect != "color" && e.aspect != "align")
                throw ScenarioError(c.line, "a drawn cell has image, color or align, not " + e.aspect);
        }
        e.value = valueAfterEquals(c, 1);
        return e;
    }
    auto dot = a[0].text.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == a[0].text.size())
        throw ScenarioError(c.line, "expect wants NAME.PROPERTY = VALUE, not " + a[0].text);
    e.kind = Expectation::Kind::Property;
    e.target = a[0].text.substr(0, dot);
    e.property = a[0].text.substr(dot + 1);
    e.value = valueAfterEquals(c, 1);
    return e;
}

void Evaluate(const Expectation& e, const Command& c, Driver& driver, Transcript& t) {
    const std::string what = c.source;
    auto verdict = [&](bool ok, const std::string& found) {
        if (ok) t.Pass();
        else t.Fail(c.line, what, found);
    };
    switch (e.kind) {
        case Expectation::Kind::Message: {
            auto m = t.TakeMessage();
            if (!m) return verdict(false, "no message");
            std::string want = NormalizeBreaks(e.value.text);
            bool ok = e.value.tilde ? m->find(want) != std::string::npos : *m == want;
            return verdict(ok, "\"" + *m + "\"");
        }
        case Expectation::Kind::NoMessage: {
            if (t.PendingMessages() == 0) return verdict(true, "");
            auto m = t.TakeMessage();
            return verdict(false, "\"" + *m + "\"");
        }
        case Expectation::Kind::Form: {
            TForm* f = InputForm();
            std::string found = f ? f->Name() : "(no form)";
            return verdict(f && text::SameText(found, e.target), found);
        }
        case Expectation::Kind::Focus: {
            if (!FindComponentNamed(e.target, true)) throw ScenarioError(c.line, "no control named " + e.target);
            TForm* f = InputForm();
            TWinControl* a = f ? f->ActiveControl() : nullptr;
            std::string found = a ? a->Name() : "(nothing focused)";
            return verdict(a && text::SameText(found, e.target), found);
        }
        case Expectation::Kind::Page: {
            auto* sheet = dynamic_cast<TTabSheet*>(FindComponentNamed(e.target, true));
            if (!sheet) throw ScenarioError(c.line, "no tab sheet named " + e.target);
            auto* pc = sheet->PageControl();
            TTabSheet* active = pc ? pc->ActivePage() : nullptr;
            return verdict(active == sheet, active ? active->Name() : "(no active page)");
        }
        case Expectation::Kind::Calls: {
            int n = driver.Calls().Take(e.target);
            return verdict(std::to_string(n) == e.value.text, std::to_string(n));
        }
        case Expectation::Kind::CallArgument: {
            auto arg = driver.Calls().LastArgument(e.target, static_cast<size_t>(e.index - 1));
            if (!arg) return verdict(false, driver.Calls().Total(e.target) == 0 ? "no call" : "no such argument");
            Found f{VariantText(*arg), arg->IsNull()};
            return verdict(matches(f, e.value), shown(f));
        }
        case Expectation::Kind::Sql: {
            std::optional<Variant> v;
            try {
                v = driver.SqlValue(e.target);
            } catch (const std::exception& ex) {
                throw ScenarioError(c.line, std::string("sql failed: ") + ex.what());
            }
            if (!v) return verdict(false, "no rows");
            Found f{VariantText(*v), v->IsNull()};
            return verdict(matches(f, e.value), shown(f));
        }
        case Expectation::Kind::Cell: {
            Found f;
            std::string missing;
            if (!cellAt(e, c, f, missing)) return verdict(false, missing);
            return verdict(matches(f, e.value), shown(f));
        }
        case Expectation::Kind::Property: break;
    }

    Found found;
    if (text::SameText(e.target, "unit")) {
        if (!driver.Module()) throw ScenarioError(c.line, "unit variables exist once the screen is open");
        auto v = driver.Module()->UnitVariable(e.property);
        if (!v) throw ScenarioError(c.line, "the module has no unit variable " + e.property);
        found = {VariantText(*v), v->IsNull()};
    } else {
        TComponent* comp = FindComponentNamed(e.target, true);
        TDataSet* ds = nullptr;
        if (auto* ref = dynamic_cast<TDataSetRef*>(comp)) {
            ds = ref->DataSet();
            comp = nullptr;
        }
        if (comp) {
            found = controlProperty(comp, e.property, c);
        } else {
            if (!ds) ds = FindDataSetNamed(e.target);
            if (!ds) throw ScenarioError(c.line, "no control or dataset named " + e.target);
            found = dataSetProperty(ds, e.property, c);
        }
        // Names read back without regard to case.
        if (text::SameText(e.property, "column") && !found.isNull && text::SameText(found.text, e.value.text))
            found.text = e.value.text;
    }
    verdict(matches(found, e.value), shown(found));
}

}  // namespace script
