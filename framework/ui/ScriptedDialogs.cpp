#include "ui/ScriptedDialogs.h"

#include "core/Text.h"

#include <algorithm>

std::string DialogRecord::Line() const {
    std::string s = Kind;
    if (!Type.empty()) s += "[" + Type + "]";
    if (!Text.empty()) s += " \"" + Text + "\"";
    if (!Buttons.empty()) {
        s += " {";
        for (size_t i = 0; i < Buttons.size(); ++i) s += (i ? "," : "") + Buttons[i];
        s += "}";
    }
    if (!Answer.empty()) s += " -> " + Answer;
    return s;
}

std::string ScriptedDialogs::TranscriptText() const {
    std::string s;
    for (auto& r : transcript_) s += r.Line() + "\n";
    return s;
}

void ScriptedDialogs::record(DialogRecord rec) {
    transcript_.push_back(rec);
    if (OnRecord) OnRecord(transcript_.back());
}

ScriptedAnswer ScriptedDialogs::take(DialogRecord& rec) {
    if (answers_.empty()) {
        rec.Answer = "(no answer queued)";
        record(rec);
        throw EUnexpectedDialog("Diálogo inesperado sem resposta: " + rec.Line());
    }
    if (!answers_.front().Kind.empty() && answers_.front().Kind != rec.Kind) {
        std::string wanted = answers_.front().Kind;
        rec.Answer = "(queued answer is for " + wanted + ")";
        record(rec);
        throw EUnexpectedDialog("Diálogo inesperado (a resposta na fila é para " + wanted + "): " + rec.Line());
    }
    ScriptedAnswer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

int ScriptedDialogs::MessageBox(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int) {
    DialogRecord rec{"MessageBox", DlgTypeName(type), text, {}, {}};
    for (auto b : buttons) rec.Buttons.push_back(ButtonName(b));
    bool okOnly = buttons.empty() || (buttons.size() == 1 && buttons[0] == TMsgDlgBtn::mbOK);
    if (okOnly && !strict_ && (answers_.empty() || answers_.front().Kind != "MessageBox")) {
        rec.Answer = "OK";
        record(rec);
        return mrOk;
    }
    ScriptedAnswer a = take(rec);
    // The answer must be one of the buttons offered.
    bool offered = buttons.empty() && a.Result == mrOk;
    std::string name;
    for (auto b : buttons)
        if (ButtonResult(b) == a.Result) {
            offered = true;
            name = ButtonName(b);
        }
    if (!offered) {
        rec.Answer = "(answer " + std::to_string(a.Result) + " is not a button offered)";
        record(rec);
        throw EUnexpectedDialog("Resposta " + std::to_string(a.Result) + " não corresponde a um botão de: " +
                                rec.Line());
    }
    rec.Answer = name.empty() ? "OK" : name;
    record(rec);
    return a.Result;
}

void ScriptedDialogs::ErrorBox(const std::string& text) {
    DialogRecord rec{"ErrorBox", "Error", text, {"OK"}, {}};
    if (strict_ || (!answers_.empty() && answers_.front().Kind == "ErrorBox")) take(rec);
    rec.Answer = "OK";
    record(rec);
}

int ScriptedDialogs::OptionDialog(const std::string& text, TMsgDlgType type, const std::vector<std::string>& captions,
                                  int) {
    DialogRecord rec{"OptionDialog", DlgTypeName(type), text, captions, {}};
    ScriptedAnswer a = take(rec);
    int last = 10 + static_cast<int>(captions.size()) - 1;
    if (a.Result < 10 || a.Result > last) {
        rec.Answer = "(answer " + std::to_string(a.Result) + " is not a button offered)";
        record(rec);
        throw EUnexpectedDialog("Resposta " + std::to_string(a.Result) + " fora das opções de: " + rec.Line());
    }
    rec.Answer = std::to_string(a.Result);
    record(rec);
    return a.Result;
}

void ScriptedDialogs::ShowProgress(int kind, const std::string& text) {
    ++progressDepth_;
    record({"ProgressShow", std::to_string(kind), text, {}, {}});
}

void ScriptedDialogs::HideProgress() {
    if (progressDepth_ > 0) --progressDepth_;
    record({"ProgressHide", {}, {}, {}, {}});
}

std::vector<int> ScriptedDialogs::SearchList(const SearchListRequest& request) {
    DialogRecord rec{"SearchList", request.MultiSelect ? "Multi" : "Single", request.Title, {}, {}};
    for (auto& c : request.Columns) rec.Buttons.push_back(c.FieldName);
    ScriptedAnswer a = take(rec);
    std::vector<int> rows = a.Rows;
    if (!a.MatchField.empty()) {
        int col = -1;
        for (size_t i = 0; i < request.Columns.size(); ++i)
            if (text::SameText(request.Columns[i].FieldName, a.MatchField)) col = static_cast<int>(i);
        if (col < 0) {
            rec.Answer = "(no column " + a.MatchField + ")";
            record(rec);
            throw EUnexpectedDialog("A lista de pesquisa não tem a coluna " + a.MatchField + ": " + rec.Line());
        }
        for (size_t r = 0; r < request.Rows.size(); ++r)
            if (text::Trim(request.Rows[r][static_cast<size_t>(col)]) == text::Trim(a.MatchText)) {
                rows = {static_cast<int>(r)};
                break;
            }
        if (rows.empty()) {
            rec.Answer = "(no row with " + a.MatchField + " = " + a.MatchText + ")";
            record(rec);
            throw EUnexpectedDialog("Nenhuma linha com " + a.MatchField + " = " + a.MatchText + ": " + rec.Line());
        }
    }
    for (int r : rows)
        if (r < 0 || r >= static_cast<int>(request.Rows.size())) {
            rec.Answer = "(row " + std::to_string(r) + " out of range)";
            record(rec);
            throw EUnexpectedDialog("Linha " + std::to_string(r) + " fora da lista: " + rec.Line());
        }
    if (!request.MultiSelect && rows.size() > 1) rows.erase(rows.begin() + 1, rows.end());
    if (rows.empty()) {
        rec.Answer = "cancel";
    } else {
        rec.Answer = "row";
        for (int r : rows) {
            rec.Answer += ' ';
            rec.Answer += std::to_string(r);
        }
    }
    record(rec);
    return rows;
}

std::optional<FindAnswer> ScriptedDialogs::Find(const FindRequest& request) {
    DialogRecord rec{"Find", {}, request.Title, {}, {}};
    for (auto& c : request.Columns) rec.Buttons.push_back(c.FieldName);
    ScriptedAnswer a = take(rec);
    rec.Answer = a.FindWhat ? a.FindWhat->FieldName + "=" + a.FindWhat->Text : "cancel";
    record(rec);
    return a.FindWhat;
}
