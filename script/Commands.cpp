#include "Commands.h"

#include "Driver.h"
#include "Expectations.h"
#include "Lookup.h"
#include "Transcript.h"

#include "core/DateTime.h"
#include "core/Exception.h"
#include "core/Text.h"
#include "db/SqlConnection.h"
#include "services/Morvena.h"
#include "ui/Application.h"
#include "ui/Clipboard.h"
#include "ui/DBGrid.h"
#include "ui/Menus.h"
#include "ui/Pages.h"
#include "ui/PublishedDataSet.h"
#include "ui/StdCtrls.h"

#include <map>

namespace script {

namespace {

// "{P}", "{P+3}", "{P-8}": the signed-on branch's processing date moved by
// whole days, as dd/mm/yyyy, so that scenarios over the demo data (made
// around the day it is created) can name its days. "{P-8:sql}" is the same
// day as SQL writes it ("YYYY-MM-DD 00:00:00"), which both databases compare
// with their TIMESTAMP columns, so a statement needs no date functions.
std::string expandDays(const std::string& in) {
    std::string out;
    size_t i = 0;
    while (i < in.size()) {
        size_t open = in.find("{P", i);
        if (open == std::string::npos) break;
        size_t close = in.find('}', open);
        if (close == std::string::npos) break;
        std::string offset = in.substr(open + 2, close - open - 2);
        const bool asSql = offset.size() >= 4 && offset.compare(offset.size() - 4, 4, ":sql") == 0;
        if (asSql) offset.resize(offset.size() - 4);
        int days = 0;
        bool ok = offset.empty();
        if (!ok && (offset[0] == '+' || offset[0] == '-') && offset.size() > 1 &&
            offset.find_first_not_of("0123456789", 1) == std::string::npos) {
            days = std::stoi(offset.substr(1)) * (offset[0] == '-' ? -1 : 1);
            ok = true;
        }
        out += in.substr(i, open - i);
        if (ok) {
            TDateTime day = IncDay(Morvena::DataProc(Morvena::FiliProc()).DateOnly(), days);
            out += asSql ? db::SqlDateText(day) : DateToStr(day);
        } else {
            out += in.substr(open, close - open + 1);
        }
        i = close + 1;
    }
    return out + in.substr(i);
}

struct Arity {
    size_t min, max;
};

const std::map<std::string, Arity>& arities() {
    static const std::map<std::string, Arity> table = {
        {"database", {1, 1}}, {"sql", {1, 1}},    {"signon", {2, 5}}, {"set", {2, 2}},     {"open", {0, 0}},
        {"focus", {1, 1}},    {"type", {1, 1}},   {"clear", {0, 0}},  {"key", {1, 1}},     {"click", {1, 1}},
        {"page", {1, 1}},     {"cell", {2, 2}},   {"row", {2, 2}},    {"close", {0, 0}},   {"paste", {1, 1}},
        {"answer", {1, 1}},   {"pick", {1, 1}},   {"find", {1, 1}},   {"ellipsis", {1, 1}}, {"expect", {1, 99}},
        {"dump", {1, 1}},
    };
    return table;
}

bool isNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// key=value arguments of signon.
std::map<std::string, std::string> keyValues(const Command& c) {
    std::map<std::string, std::string> kv;
    for (auto& a : c.args) {
        auto eq = a.text.find('=');
        if (a.quoted || eq == std::string::npos || eq == 0)
            throw ScenarioError(c.line, c.verb + " wants KEY=VALUE arguments, not " + a.text);
        std::string key = text::Lower(a.text.substr(0, eq));
        if (kv.count(key)) throw ScenarioError(c.line, key + " given twice");
        kv[key] = a.text.substr(eq + 1);
    }
    return kv;
}

SignOnArgs signOnArgs(const Command& c) {
    SignOnArgs s;
    for (auto& [key, value] : keyValues(c)) {
        if (key == "operator") s.operatorCode = value;
        else if (key == "branch") s.branch = value;
        else if (key == "password") s.password = value;
        else if (key == "date") {
            TDateTime d;
            if (!TryStrToDate(value, d)) throw ScenarioError(c.line, "date wants dd/mm/yyyy, not " + value);
            s.date = d;
        } else if (key == "bound") {
            std::string v = text::Lower(value);
            if (v != "yes" && v != "no") throw ScenarioError(c.line, "bound wants yes or no");
            s.bound = v == "yes";
        } else {
            throw ScenarioError(c.line, "signon knows operator, branch, password, date and bound, not " + key);
        }
    }
    if (s.operatorCode.empty() || s.branch.empty()) throw ScenarioError(c.line, "signon needs operator= and branch=");
    return s;
}

void checkShape(const Command& c) {
    auto& a = c.args;
    auto word = [&](size_t i) { return text::Lower(a[i].text); };
    if (c.verb == "database" && word(0) != "demo" && word(0) != "empty")
        throw ScenarioError(c.line, "database wants demo or empty");
    if (c.verb == "sql" && !a[0].quoted) throw ScenarioError(c.line, "sql wants its statement in quotes");
    if (c.verb == "signon") signOnArgs(c);
    if (c.verb == "set") {
        std::string k = word(0), v = a[1].text;
        if (k == "screen") {
            auto x = text::Lower(v).find('x');
            if (x == std::string::npos || !isNumber(v.substr(0, x)) || !isNumber(v.substr(x + 1)))
                throw ScenarioError(c.line, "set screen wants WIDTHxHEIGHT, e.g. 640x480");
        } else if (k == "decimal") {
            if (v != "," && v != ".") throw ScenarioError(c.line, "set decimal wants , or .");
        } else if (k == "keepconnected" || k == "openscreens") {
            if (text::Lower(v) != "yes" && text::Lower(v) != "no")
                throw ScenarioError(c.line, "set " + k + " wants yes or no");
        } else {
            throw ScenarioError(c.line, "set knows screen, decimal, keepconnected and openscreens, not " + a[0].text);
        }
    }
    if (c.verb == "key") ParseKey(a[0].text, c.line);
    if (c.verb == "row") {
        std::string w = word(1);
        if (w != "first" && w != "last" && w != "next" && w != "prior" && (!isNumber(w) || w == "0"))
            throw ScenarioError(c.line, "row wants first, last, next, prior or a row number from 1");
    }
    if (c.verb == "answer") {
        static const char* ok[] = {"yes", "no", "ok", "cancel", "1", "2", "3"};
        bool known = false;
        for (auto* w : ok) known = known || word(0) == w;
        if (!known) throw ScenarioError(c.line, "answer wants yes, no, ok, cancel, 1, 2 or 3");
    }
    if (c.verb == "pick") {
        std::string w = a[0].text;
        if (!(text::Lower(w) == "none" || (isNumber(w) && w != "0") || (w.find('=') != std::string::npos && w[0] != '=')))
            throw ScenarioError(c.line, "pick wants a row number from 1, FIELD=VALUE or none");
    }
    if (c.verb == "find") {
        std::string w = a[0].text;
        if (text::Lower(w) != "none" && (w.find('=') == std::string::npos || w[0] == '='))
            throw ScenarioError(c.line, "find wants FIELD=TEXT or none");
    }
    if (c.verb == "expect") ParseExpectation(c);
}

TForm* inputForm(const Command& c) {
    TForm* f = InputForm();
    if (!f) throw ScenarioError(c.line, c.verb + ": no form has the input" +
                                            std::string(Application().ShowingForms().empty() ? " (none is open)" : ""));
    return f;
}

TComponent* actionTarget(const Command& c, const std::string& name) {
    TForm* f = inputForm(c);
    TComponent* comp = FindComponentNamed(name, false);
    if (!comp || dynamic_cast<TDataSetRef*>(comp))
        throw ScenarioError(c.line, "no control named " + name + " where the user is (" + f->Name() + ")");
    return comp;
}

template <class T>
T* actionTargetAs(const Command& c, const std::string& name, const char* kind) {
    auto* t = dynamic_cast<T*>(actionTarget(c, name));
    if (!t) throw ScenarioError(c.line, name + " is not " + kind);
    return t;
}

}  // namespace

KeyStroke ParseKey(const std::string& name, int line) {
    KeyStroke k;
    auto chars = Utf8ToChars(name);
    if (chars.size() == 1) {
        k.typed = chars[0];
        k.key = CharToKey(chars[0], k.shift);
        return k;
    }
    auto parts = text::Split(name, '+');
    // "Ctrl++" names the plus key.
    if (name.size() > 1 && name.back() == '+' && parts.size() >= 2 && parts.back().empty()) {
        parts.pop_back();
        parts.back() = "+";
    }
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        std::string m = text::Lower(parts[i]);
        if (m == "ctrl") k.shift.Ctrl = true;
        else if (m == "alt") k.shift.Alt = true;
        else if (m == "shift") k.shift.Shift = true;
        else throw ScenarioError(line, "unknown modifier " + parts[i] + " in " + name);
    }
    std::string key = parts.empty() ? std::string() : parts.back();
    std::string lk = text::Lower(key);
    static const std::map<std::string, WORD> names = {
        {"enter", VK_RETURN},   {"return", VK_RETURN}, {"tab", VK_TAB},          {"up", VK_UP},
        {"down", VK_DOWN},      {"left", VK_LEFT},     {"right", VK_RIGHT},      {"delete", VK_DELETE},
        {"del", VK_DELETE},     {"backspace", VK_BACK}, {"insert", VK_INSERT},   {"ins", VK_INSERT},
        {"escape", VK_ESCAPE},  {"esc", VK_ESCAPE},    {"pageup", VK_PRIOR},     {"pagedown", VK_NEXT},
        {"home", VK_HOME},      {"end", VK_END},       {"space", VK_SPACE},      {"decimal", VK_DECIMAL},
        {"period", VK_OEM_PERIOD}, {"comma", VK_OEM_COMMA}, {"minus", VK_OEM_MINUS},
    };
    if (auto it = names.find(lk); it != names.end()) {
        k.key = it->second;
        return k;
    }
    if (lk.size() >= 2 && lk[0] == 'f' && isNumber(lk.substr(1))) {
        int n = std::stoi(lk.substr(1));
        if (n >= 1 && n <= 12) {
            k.key = static_cast<WORD>(VK_F1 + n - 1);
            return k;
        }
    }
    auto kc = Utf8ToChars(key);
    if (kc.size() == 1) {
        TShiftState own;
        k.key = CharToKey(kc[0], own);
        // With Ctrl or Alt a letter is a shortcut, not a character.
        if (k.shift.Ctrl || k.shift.Alt) {
            if (k.key == 0) throw ScenarioError(line, "no key types " + key);
            return k;
        }
        k.typed = kc[0];
        k.shift.Shift = k.shift.Shift || own.Shift;
        return k;
    }
    throw ScenarioError(line, "unknown key " + name);
}

void Validate(const std::vector<Command>& commands) {
    for (auto& c : commands) {
        auto it = arities().find(c.verb);
        if (it == arities().end()) throw ScenarioError(c.line, "unknown command " + c.verb);
        if (c.args.size() < it->second.min || c.args.size() > it->second.max)
            throw ScenarioError(c.line, c.verb + " takes " +
                                            (it->second.min == it->second.max
                                                 ? std::to_string(it->second.min)
                                                 : std::to_string(it->second.min) + " to " + std::to_string(it->second.max)) +
                                            " argument(s), not " + std::to_string(c.args.size()));
        checkShape(c);
    }
}

Runner::Runner(std::vector<Command> commands, Driver& driver, Transcript& transcript, bool lenient)
    : commands_(std::move(commands)), driver_(driver), t_(transcript), lenient_(lenient) {
    Application().SetInputPump([this] { return step(); });
}

Runner::~Runner() { Application().SetInputPump({}); }

int Runner::Run() {
    int status = 0;
    try {
        while (step()) {
        }
        if (size_t left = driver_.Dialogs().Pending())
            t_.Fail(commands_.empty() ? 0 : commands_.back().line, "answers queued for dialogs that never came", std::to_string(left));
        if (size_t shown = t_.PendingMessages()) {
            std::string texts;
            while (auto m = t_.TakeMessage()) texts += (texts.empty() ? "\"" : ", \"") + *m + "\"";
            const std::string what = std::to_string(shown) + " message(s) shown and never expected";
            if (lenient_) t_.Line("[note] " + what + ": " + texts);
            else t_.Fail(commands_.empty() ? 0 : commands_.back().line, what, texts);
        }
    } catch (const ScenarioError& e) {
        t_.Line(std::string("MALFORMED ") + e.what());
        status = 2;
    } catch (const EUnexpectedDialog& e) {
        t_.Fail(line_, "unexpected dialog", e.what());
    } catch (const std::exception& e) {
        // The input ran dry inside a modal form, or the driver itself failed.
        t_.Fail(line_, "the scenario stopped", e.what());
    }
    t_.Summary();
    if (status) return status;
    return t_.Failed() ? 1 : 0;
}

bool Runner::step() {
    if (next_ >= commands_.size()) return false;
    const Command& c = commands_[next_++];
    int outer = line_;
    line_ = c.line;
    t_.Echo(c.source);
    try {
        Command expanded = c;
        for (Token& a : expanded.args) a.text = expandDays(a.text);
        execute(expanded);
    } catch (const EScriptFailure&) {
        throw;
    } catch (const std::exception& e) {
        // The driver's own failure must not reach the screen's error handler
        // when this line runs inside a modal form's loop.
        throw EScriptFailure("line " + std::to_string(c.line) + ": " + e.what());
    }
    line_ = outer;
    return true;
}

void Runner::execute(const Command& c) {
    const auto& a = c.args;
    const std::string& v = c.verb;
    auto setupOnly = [&] {
        if (driver_.Opened()) throw ScenarioError(c.line, v + " belongs before open");
    };

    // ---- Set-up ---------------------------------------------------------------
    if (v == "database") {
        setupOnly();
        try {
            driver_.SetDatabaseMode(text::Lower(a[0].text) == "demo");
        } catch (const Exception& e) {
            throw ScenarioError(c.line, e.Message());
        }
        return;
    }
    if (v == "sql") {
        try {
            driver_.Sql(a[0].text);
        } catch (const std::exception& e) {
            throw ScenarioError(c.line, std::string("sql failed: ") + e.what());
        }
        return;
    }
    if (v == "signon") return signOn(c);
    if (v == "set") return set(c);
    if (v == "open") {
        if (driver_.Opened()) throw ScenarioError(c.line, "the screen is already open");
        if (!driver_.SignedOn()) throw ScenarioError(c.line, "open needs a signon first");
        try {
            driver_.Open();
        } catch (const EScriptFailure&) {
            throw;
        } catch (const std::exception& e) {
            throw ScenarioError(c.line, e.what());
        }
        return;
    }

    // ---- Answers ----------------------------------------------------------------
    if (v == "answer") return answer(c);
    if (v == "pick") return pick(c);
    if (v == "find") return find(c);
    if (v == "paste") {
        Clipboard().SetAsText(a[0].text);
        return;
    }

    // ---- Observations -------------------------------------------------------------
    if (v == "expect") return Evaluate(ParseExpectation(c), c, driver_, t_);
    if (v == "dump") return dump(c);

    // ---- The user's actions -------------------------------------------------------
    if (v == "focus") {
        auto* w = actionTargetAs<TWinControl>(c, a[0].text, "a control that takes the focus");
        w->UserSetFocus();
        return;
    }
    if (v == "type") {
        inputForm(c)->UserType(a[0].text);
        return;
    }
    if (v == "clear") {
        TForm* f = inputForm(c);
        auto* e = dynamic_cast<TCustomEdit*>(f->ActiveControl());
        if (!e) throw ScenarioError(c.line, "clear: the focused control is not an edit");
        e->UserSetText("");
        return;
    }
    if (v == "key") {
        TForm* f = inputForm(c);
        KeyStroke k = ParseKey(a[0].text, c.line);
        if (k.typed) Application().RunUserAction([&] { f->RouteKey(k.key, k.shift, k.typed); });
        else f->UserKeyDown(k.key, k.shift);
        return;
    }
    if (v == "click") {
        TComponent* comp = actionTarget(c, a[0].text);
        if (auto* m = dynamic_cast<TMenuItem*>(comp)) m->UserClick();
        else if (auto* ctl = dynamic_cast<TControl*>(comp)) ctl->UserClick();
        else throw ScenarioError(c.line, a[0].text + " cannot be clicked");
        return;
    }
    if (v == "page") {
        auto* sheet = actionTargetAs<TTabSheet>(c, a[0].text, "a tab sheet");
        if (!sheet->PageControl()) throw ScenarioError(c.line, a[0].text + " belongs to no page control");
        sheet->PageControl()->UserSelectPage(sheet);
        return;
    }
    if (v == "cell") {
        auto* g = actionTargetAs<TDBGrid>(c, a[0].text, "a grid");
        int col = g->ColumnIndexOf(a[1].text);
        if (col < 0) throw ScenarioError(c.line, "grid " + g->Name() + " has no column " + a[1].text);
        g->UserSelectCell(g->CurrentRow(), col);
        return;
    }
    if (v == "ellipsis") {
        actionTargetAs<TDBGrid>(c, a[0].text, "a grid")->UserEditButtonClick();
        return;
    }
    if (v == "row") return row(c);
    if (v == "close") {
        inputForm(c)->UserClose();
        return;
    }
    throw ScenarioError(c.line, "unknown command " + v);
}

void Runner::signOn(const Command& c) {
    if (driver_.Opened()) throw ScenarioError(c.line, "signon belongs before open");
    try {
        driver_.SignOn(signOnArgs(c));
    } catch (const ScenarioError&) {
        throw;
    } catch (const std::exception& e) {
        throw ScenarioError(c.line, std::string("sign-on failed: ") + e.what());
    }
}

void Runner::set(const Command& c) {
    std::string key = text::Lower(c.args[0].text), value = c.args[1].text;
    if (key == "screen") {
        auto x = text::Lower(value).find('x');
        Application().SetScreenSize(std::stoi(value.substr(0, x)), std::stoi(value.substr(x + 1)));
    } else if (key == "decimal") {
        SystemFormat().DecimalSeparator = value[0];
        SystemFormat().ThousandSeparator = value[0] == ',' ? '.' : ',';
    } else if (key == "keepconnected") {
        if (driver_.Opened()) throw ScenarioError(c.line, "set keepconnected belongs before open");
        Morvena::Context().KeepConnected = text::Lower(value) == "yes";
    } else if (key == "openscreens") {
        driver_.SetOpenScreens(text::Lower(value) == "yes");
    }
}

void Runner::answer(const Command& c) {
    std::string w = text::Lower(c.args[0].text);
    auto& d = driver_.Dialogs();
    if (w == "yes") d.Queue(ScriptedAnswer::Button(mrYes));
    else if (w == "no") d.Queue(ScriptedAnswer::Button(mrNo));
    else if (w == "ok") d.Queue(ScriptedAnswer::Button(mrOk));
    else if (w == "cancel") d.Queue(ScriptedAnswer::Button(mrCancel));
    else d.Queue(ScriptedAnswer::Option(9 + std::stoi(w)));
}

void Runner::pick(const Command& c) {
    const std::string& w = c.args[0].text;
    auto& d = driver_.Dialogs();
    if (text::Lower(w) == "none") {
        d.Queue(ScriptedAnswer::CancelList());
    } else if (auto eq = w.find('='); eq != std::string::npos) {
        d.Queue(ScriptedAnswer::PickWhere(w.substr(0, eq), w.substr(eq + 1)));
    } else {
        d.Queue(ScriptedAnswer::PickRows({std::stoi(w) - 1}));
    }
}

void Runner::find(const Command& c) {
    const std::string& w = c.args[0].text;
    auto eq = w.find('=');
    if (eq == std::string::npos) driver_.Dialogs().Queue(ScriptedAnswer::CancelFind());
    else driver_.Dialogs().Queue(ScriptedAnswer::FindText(w.substr(0, eq), w.substr(eq + 1)));
}

void Runner::row(const Command& c) {
    auto* g = actionTargetAs<TDBGrid>(c, c.args[0].text, "a grid");
    std::string w = text::Lower(c.args[1].text);
    int rows = g->RowCount(), cur = g->CurrentRow(), target = 0;
    if (w == "first") target = 0;
    else if (w == "last") target = rows - 1;
    else if (w == "next") target = cur + 1;
    else if (w == "prior") target = cur - 1;
    else target = std::stoi(w) - 1;
    if (target < 0 || target >= rows) {
        t_.Fail(c.line, c.source, "the grid shows " + std::to_string(rows) + " row(s)" +
                                      (cur >= 0 ? ", the current one is " + std::to_string(cur + 1) : ""));
        return;
    }
    g->UserSelectCell(target, g->SelectedIndex());
}

void Runner::dump(const Command& c) {
    TDataSet* ds = FindDataSetNamed(c.args[0].text);
    if (!ds) throw ScenarioError(c.line, "no dataset named " + c.args[0].text);
    if (!ds->Active()) {
        t_.Line("[dump] " + ds->Name + " is inactive");
        return;
    }
    int rows = ds->RowCount();
    t_.Line("[dump] " + ds->Name + ": " + std::to_string(rows) + " row(s), state " + DataSetStateName(ds->State()));
    std::string head;
    for (int i = 0; i < ds->FieldCount(); ++i) head += (i ? " | " : "") + ds->Fields(i).FieldName();
    t_.Line("  " + head);
    for (int r = 0; r < rows; ++r) {
        std::string line;
        for (int i = 0; i < ds->FieldCount(); ++i) {
            const TField& f = ds->Fields(i);
            Variant value = ds->ValueAt(r, f);
            line += (i ? " | " : "") + (value.IsNull() ? std::string("null") : ds->DisplayTextAt(r, f));
        }
        t_.Line((r == ds->CurrentRow() ? "> " : "  ") + line);
    }
}

}  // namespace script
