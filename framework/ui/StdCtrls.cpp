#include "ui/StdCtrls.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "ui/Application.h"
#include "ui/Form.h"

// ---- TCustomEdit ----

void TCustomEdit::SetText(const std::string& value) { StoreText(value, false); }

void TCustomEdit::StoreText(const std::string& value, bool byUser) {
    if (value == text_) return;
    text_ = value;
    if (byUser) modified_ = true;
    Changed("Text");
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetReadOnly(bool v) {
    if (v == readOnly_) return;
    readOnly_ = v;
    Changed("ReadOnly");
}

void TCustomEdit::DoEnter() {
    allSelected_ = true;
    TWinControl::DoEnter();
}

bool TCustomEdit::AcceptChar(const std::string& current, char32_t& ch) const {
    if (maxLength_ > 0 && static_cast<int>(text::Length(current)) >= maxLength_) return false;
    if (charCase_ == TEditCharCase::ecUpperCase) ch = Utf8ToChars(text::Upper(CharToUtf8(ch)))[0];
    if (charCase_ == TEditCharCase::ecLowerCase) ch = Utf8ToChars(text::Lower(CharToUtf8(ch)))[0];
    return true;
}

void TCustomEdit::DefaultKeyDown(WORD& key, TShiftState shift) {
    if (key == VK_DELETE && shift.Empty()) {
        // Delete removes the selection (the caret sits at the end otherwise).
        if (allSelected_ && !text_.empty() && CanUserEdit()) {
            allSelected_ = false;
            StoreText("", true);
            UserChanged();
        }
        key = 0;
        return;
    }
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END) {
        allSelected_ = false;  // moving the caret drops the selection
        key = 0;
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}

void TCustomEdit::DefaultKeyPress(char32_t& key) {
    if (key == U'\r' || key == 27 || key == U'\t') return;
    std::string current = allSelected_ ? std::string() : text_;
    if (key == U'\b') {
        if (!CanUserEdit()) return;
        std::u32string chars = Utf8ToChars(current);
        if (!chars.empty()) chars.pop_back();
        std::string next;
        for (char32_t c : chars) next += CharToUtf8(c);
        allSelected_ = false;
        StoreText(Normalize(next), true);
        UserChanged();
        return;
    }
    if (key < 32) return;
    char32_t ch = key;
    if (!AcceptChar(current, ch)) {
        key = 0;
        return;
    }
    if (!CanUserEdit()) return;
    allSelected_ = false;
    StoreText(Normalize(current + CharToUtf8(ch)), true);
    UserChanged();
}

void TCustomEdit::UserSetText(const std::string& value) {
    if (!Focused()) {
        UserSetFocus();
        if (!Focused()) return;
    }
    Application().RunUserAction([&] {
        if (!CanUserEdit()) return;
        allSelected_ = false;
        StoreText(Normalize(value), true);
        UserChanged();
    });
}

// ---- TMaskEdit ----

void TMaskEdit::SetEditMask(const std::string& mask) {
    mask_ = mask;
    slots_.clear();
    auto parts = text::Split(mask, ';');
    std::u32string body = Utf8ToChars(parts.empty() ? "" : parts[0]);
    saveLiterals_ = parts.size() < 2 || text::Trim(parts[1]) != "0";
    blank_ = parts.size() >= 3 && !parts[2].empty() ? parts[2][0] : '_';
    int caseMode = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        char32_t c = body[i];
        if (c == U'>') {
            if (i + 1 < body.size() && body[i + 1] == U'<') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            continue;
        }
        if (c == U'<') {
            caseMode = -1;
            continue;
        }
        if (c == U'!') continue;  // blanks-leading option: no effect on a caret at the end
        if (c == U'\\' && i + 1 < body.size()) {
            slots_.push_back({0, body[++i], caseMode});
            continue;
        }
        if (std::u32string(U"09LlAaCc#").find(c) != std::u32string::npos) slots_.push_back({static_cast<char>(c), 0, caseMode});
        else slots_.push_back({0, c, caseMode});
    }
    SetMaxLength(static_cast<int>(slots_.size()));
    SetText(Normalize(TCustomEdit::Text()));
}

void TMaskEdit::SetText(const std::string& value) { TCustomEdit::SetText(Normalize(value)); }

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool isLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c >= 0xC0; }

bool fits(char kind, char32_t c) {
    switch (kind) {
        case '0': case '9': return isDigit(c);
        case 'L': case 'l': return isLetter(c);
        case 'A': case 'a': return isLetter(c) || isDigit(c);
        case '#': return isDigit(c) || c == U'+' || c == U'-';
        default: return true;  // C, c
    }
}

}  // namespace

bool TMaskEdit::AcceptChar(const std::string& current, char32_t& ch) const {
    if (slots_.empty()) return TCustomEdit::AcceptChar(current, ch);
    size_t pos = Utf8ToChars(current).size();
    // Literals are typed over or inserted as the caret passes them.
    while (pos < slots_.size() && slots_[pos].kind == 0) {
        if (slots_[pos].literal == ch) return true;
        ++pos;
    }
    if (pos >= slots_.size()) return false;
    if (!fits(slots_[pos].kind, ch)) return false;
    std::string s = CharToUtf8(ch);
    if (slots_[pos].caseMode > 0) ch = Utf8ToChars(text::Upper(s))[0];
    if (slots_[pos].caseMode < 0) ch = Utf8ToChars(text::Lower(s))[0];
    return true;
}

std::string TMaskEdit::Normalize(const std::string& typed) const {
    if (slots_.empty()) return typed;
    // Re-lay the typed characters over the mask: literals in their places.
    std::u32string in = Utf8ToChars(typed), out;
    size_t pos = 0;
    for (char32_t c : in) {
        if (pos >= slots_.size()) break;
        if (slots_[pos].kind == 0) {
            if (c == slots_[pos].literal) {
                out.push_back(c);
                ++pos;
                continue;
            }
            while (pos < slots_.size() && slots_[pos].kind == 0) out.push_back(slots_[pos++].literal);
            if (pos >= slots_.size()) break;
        }
        char32_t ch = c;
        std::string s = CharToUtf8(ch);
        if (slots_[pos].caseMode > 0) ch = Utf8ToChars(text::Upper(s))[0];
        if (slots_[pos].caseMode < 0) ch = Utf8ToChars(text::Lower(s))[0];
        if (!fits(slots_[pos].kind, ch) && ch != U' ') break;
        out.push_back(ch);
        ++pos;
    }
    std::string r;
    for (char32_t c : out) r += CharToUtf8(c);
    return r;
}

std::string TMaskEdit::Text() const {
    std::string t = TCustomEdit::Text();
    if (slots_.empty() || saveLiterals_) return text::TrimRight(t);
    std::u32string in = Utf8ToChars(t);
    std::string r;
    for (size_t i = 0; i < in.size() && i < slots_.size(); ++i)
        if (slots_[i].kind != 0) r += CharToUtf8(in[i]);
    return text::TrimRight(r);
}

std::string TMaskEdit::EditText() const {
    std::u32string in = Utf8ToChars(TCustomEdit::Text());
    std::string r;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (i < in.size()) r += CharToUtf8(in[i]);
        else if (slots_[i].kind == 0) r += CharToUtf8(slots_[i].literal);
        else r += blank_;
    }
    return slots_.empty() ? TCustomEdit::Text() : r;
}

bool TMaskEdit::IsComplete() const {
    std::u32string in = Utf8ToChars(TCustomEdit::Text());
    if (in.empty()) return true;
    for (size_t i = 0; i < slots_.size(); ++i) {
        char k = slots_[i].kind;
        bool required = k == '0' || k == 'L' || k == 'A' || k == 'C';
        if (required && (i >= in.size() || in[i] == U' ')) return false;
    }
    return true;
}

// ---- TDateEdit ----

TDateEdit::TDateEdit() { SetMaxLength(10); }

bool TDateEdit::AcceptChar(const std::string& current, char32_t& ch) const {
    size_t n = Utf8ToChars(current).size();
    if (n >= 10) return false;
    if (ch == U'/') return n == 2 || n == 5 || (n == 1 || n == 4);
    return isDigit(ch);
}

std::string TDateEdit::Normalize(const std::string& typed) const {
    // Day and month take two digits, the year four; a third digit or a "/"
    // starts the next part: "01022026" and "1/2/2026" both read as typed dates.
    std::string parts[3];
    int seg = 0;
    for (char c : typed) {
        if (c == '/') {
            if (seg < 2 && !parts[seg].empty()) {
                ++seg;
            }
            continue;
        }
        if (c < '0' || c > '9') continue;
        if (seg < 2 && parts[seg].size() == 2) ++seg;
        if (parts[seg].size() < (seg == 2 ? 4u : 2u)) parts[seg] += c;
    }
    std::string r = parts[0];
    if (seg >= 1) r += "/" + parts[1];
    if (seg >= 2) r += "/" + parts[2];
    return r;
}

bool TDateEdit::IsEmpty() const { return text::Trim(TCustomEdit::Text()).empty(); }

TDateTime TDateEdit::Date() const {
    if (IsEmpty()) return TDateTime(0);
    return StrToDate(text::Trim(TCustomEdit::Text())).DateOnly();
}

void TDateEdit::SetDate(TDateTime d) { SetText(d.Val == 0 ? "" : DateToStr(d)); }

void TDateEdit::CheckValidDate() const {
    if (IsEmpty()) return;
    TDateTime d;
    if (!TryStrToDate(text::Trim(TCustomEdit::Text()), d))
        throw EConvertError("'" + TCustomEdit::Text() + "' não é uma data válida.");
}

std::string TDateEdit::WeekdayNameText() const {
    TDateTime d;
    if (IsEmpty() || !TryStrToDate(text::Trim(TCustomEdit::Text()), d)) return "";
    return WeekdayName(d);
}

// ---- buttons ----

void TButtonControl::DefaultKeyPress(char32_t& key) {
    if (key == U' ') {
        key = 0;
        Click();
    }
}

void TButton::Click() {
    TWinControl::Click();
    if (ModalResult != 0)
        if (auto* form = ParentForm()) form->SetModalResult(ModalResult);
}

void TCheckBox::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Changed("Checked");
    if (OnClick) OnClick(this);
}

void TCheckBox::Click() { SetChecked(!checked_); }

void TRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    if (v && Parent())
        for (auto* c : Parent()->ControlList())
            if (auto* r = dynamic_cast<TRadioButton*>(c); r && r != this && r->checked_) {
                r->checked_ = false;
                r->Changed("Checked");
            }
    Changed("Checked");
    if (v && OnClick) OnClick(this);
}

void TRadioButton::Click() { SetChecked(true); }

// ---- lists ----

void TListBox::SetItemIndex(int i) {
    if (i < -1 || i >= static_cast<int>(Items.size())) i = -1;
    if (i == itemIndex_) return;
    itemIndex_ = i;
    if (!MultiSelect) selected_.assign(Items.size(), false);
    if (i >= 0) SetSelected(i, true);
    Changed("ItemIndex");
}

bool TListBox::Selected(int i) const {
    if (i < 0 || i >= static_cast<int>(selected_.size())) return false;
    return selected_[static_cast<size_t>(i)];
}

void TListBox::SetSelected(int i, bool v) {
    if (i < 0 || i >= static_cast<int>(Items.size())) return;
    selected_.resize(Items.size(), false);
    selected_[static_cast<size_t>(i)] = v;
    Changed("Selected");
}

void TListBox::Clear() {
    Items.clear();
    selected_.clear();
    itemIndex_ = -1;
    Changed("Items");
}

void TListBox::AddItem(const std::string& item) {
    Items.push_back(item);
    Changed("Items");
}

void TListBox::UserSelect(int index) {
    if (!Focused()) {
        UserSetFocus();
        if (!Focused()) return;
    }
    Application().RunUserAction([&] {
        if (MultiSelect) SetSelected(index, !Selected(index));
        SetItemIndex(index);
        Click();
    });
}

void TListBox::DefaultKeyDown(WORD& key, TShiftState shift) {
    int n = static_cast<int>(Items.size());
    if ((key == VK_DOWN || key == VK_UP) && n > 0) {
        int i = itemIndex_ + (key == VK_DOWN ? 1 : -1);
        if (i >= 0 && i < n) SetItemIndex(i);
        key = 0;
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}

void TComboBox::SetItemIndex(int i) {
    if (i < -1 || i >= static_cast<int>(Items.size())) i = -1;
    if (i == itemIndex_) return;
    itemIndex_ = i;
    Changed("ItemIndex");
}

void TComboBox::SetDroppedDown(bool v) {
    if (v == dropped_) return;
    dropped_ = v;
    Changed("DroppedDown");
}

void TComboBox::UserSelect(int index) {
    if (!Focused()) {
        UserSetFocus();
        if (!Focused()) return;
    }
    Application().RunUserAction([&] {
        SetDroppedDown(false);
        int before = itemIndex_;
        SetItemIndex(index);
        if (itemIndex_ != before && OnChange) OnChange(this);
    });
}

void TComboBox::DefaultKeyDown(WORD& key, TShiftState shift) {
    int n = static_cast<int>(Items.size());
    if (key == VK_DOWN && shift.Alt) {
        SetDroppedDown(!dropped_);
        key = 0;
        return;
    }
    if ((key == VK_DOWN || key == VK_UP) && n > 0) {
        int i = itemIndex_ + (key == VK_DOWN ? 1 : -1);
        if (i >= 0 && i < n && i != itemIndex_) {
            SetItemIndex(i);
            if (OnChange) OnChange(this);
        }
        key = 0;
        return;
    }
    if (key == VK_RETURN && dropped_) {
        SetDroppedDown(false);
        key = 0;
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}
