#pragma once
// Standard controls: containers (panel, group box, splitter), label, edit,
// masked edit, date edit, buttons, check and radio buttons, list and combo
// boxes, image. Typing into an edit replaces its text when the whole text is
// selected (as on entering it with Tab) and appends otherwise.
#include "core/DateTime.h"
#include "ui/Control.h"

#include <string>
#include <vector>

class TPanel : public TContainer {
public:
    std::string ClassName() const override { return "TPanel"; }
};

class TGroupBox : public TContainer {
public:
    std::string ClassName() const override { return "TGroupBox"; }
};

// Splitter: resizes its neighbour; a layout hint only.
class TSplitter : public TControl {
public:
    std::string ClassName() const override { return "TSplitter"; }
};

class TLabel : public TControl {
public:
    std::string ClassName() const override { return "TLabel"; }
    TWinControl* FocusControl = nullptr;  // Alt+accelerator target (a hint for views)
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// Single-line text entry.
class TCustomEdit : public TWinControl {
public:
    std::string ClassName() const override { return "TEdit"; }

    virtual std::string Text() const { return text_; }
    // Sets the text as code does: OnChange runs when it differs.
    virtual void SetText(const std::string& value);
    int MaxLength() const { return maxLength_; }   // characters; 0 = no limit
    void SetMaxLength(int n) { maxLength_ = n; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c) { charCase_ = c; }
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    void SelectAll() { allSelected_ = true; }
    bool AllSelected() const { return allSelected_; }
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

    // The view replaces the whole text as the user edited it (focusing first).
    void UserSetText(const std::string& value);

    void DefaultKeyDown(WORD& key, TShiftState shift) override;
    void DefaultKeyPress(char32_t& key) override;
    void DoEnter() override;

protected:
    // Whether the edit accepts the character at the end of `current`; may
    // rewrite it (upper-casing). Returns false to refuse it.
    virtual bool AcceptChar(const std::string& current, char32_t& ch) const;
    // The text as stored after a user's edit (masks insert their literals).
    virtual std::string Normalize(const std::string& typed) const { return typed; }
    // Writes the text and reports a change; `byUser` marks it modified.
    void StoreText(const std::string& value, bool byUser);
    // Called before a user's edit changes the text; false refuses it.
    virtual bool CanUserEdit() { return !readOnly_; }
    // After a user's edit changed the text.
    virtual void UserChanged() {}

private:
    std::string text_;
    int maxLength_ = 0;
    bool readOnly_ = false;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    bool modified_ = false;
    bool allSelected_ = false;
};

class TEdit : public TCustomEdit {};

// Edit with an edit mask in the usual notation "mask;save-literals;blank":
// 0 digit, 9 digit or blank, L letter, l letter or blank, A/a letter or
// digit, C/c any character, # digit or sign; ">" upper-cases what follows,
// "<" lower-cases, "<>" neither; "\" quotes a literal; other characters are
// literals inserted as the user types. MaxLength follows the mask.
class TMaskEdit : public TCustomEdit {
public:
    std::string ClassName() const override { return "TMaskEdit"; }
    const std::string& EditMask() const { return mask_; }
    void SetEditMask(const std::string& mask);
    // Text from code is laid over the mask like typed text ("0102003" shows "01.02.003").
    void SetText(const std::string& value) override;
    // Text as entered, without the blank placeholders; the literals are kept
    // when the mask saves them (";1") or when they sit between typed characters.
    std::string Text() const override;
    // Text with the mask's placeholders in the empty positions.
    std::string EditText() const;
    // True when every required position is filled (empty text counts as filled).
    bool IsComplete() const;

protected:
    bool AcceptChar(const std::string& current, char32_t& ch) const override;
    std::string Normalize(const std::string& typed) const override;

public:
    struct Slot {
        char kind = 0;      // 0 literal, else the mask character
        char32_t literal = 0;
        int caseMode = 0;   // 1 upper, -1 lower
    };

private:
    std::string mask_;
    std::vector<Slot> slots_;
    bool saveLiterals_ = true;
    char blank_ = '_';
};

// Date entry "dd/mm/yyyy". An empty text reads as date 0 (no date).
class TDateEdit : public TCustomEdit {
public:
    TDateEdit();
    std::string ClassName() const override { return "TDateEdit"; }
    // The date typed (date part only); 0 when empty; throws EConvertError
    // for a text that is not a valid date.
    TDateTime Date() const;
    void SetDate(TDateTime d);   // 0 clears
    bool IsEmpty() const;
    // Throws EConvertError "'<text>' não é uma data válida." unless the text is empty or a valid date.
    void CheckValidDate() const;
    // Weekday name of the date typed ("" when empty or invalid).
    std::string WeekdayNameText() const;
    bool ShowWeekdayNames = true;  // the calendar popup names weekdays

protected:
    bool AcceptChar(const std::string& current, char32_t& ch) const override;
    std::string Normalize(const std::string& typed) const override;
};

class TButtonControl : public TWinControl {
public:
    void DefaultKeyPress(char32_t& key) override;  // Space clicks
};

class TButton : public TButtonControl {
public:
    std::string ClassName() const override { return "TButton"; }
    int ModalResult = 0;   // set on the parent form when clicked
    bool Default = false;  // Enter clicks it
    bool Cancel = false;   // Esc clicks it
    void Click() override;
};

// Tool button / speed button: not a tab stop, clicking does not move focus.
class TSpeedButton : public TControl {
public:
    std::string ClassName() const override { return "TSpeedButton"; }
    bool Down = false;
    // The name of the button's picture ("incluir"); the view draws it above
    // the caption, empty for a button without one.
    std::string Glyph;
};
class TToolButton : public TSpeedButton {
public:
    std::string ClassName() const override { return "TToolButton"; }
};

class TCheckBox : public TButtonControl {
public:
    std::string ClassName() const override { return "TCheckBox"; }
    bool Checked() const { return checked_; }
    // Changing Checked from code also runs OnClick, as the platform does.
    void SetChecked(bool v);
    void Click() override;  // toggles, then OnClick

private:
    bool checked_ = false;
};

class TRadioButton : public TButtonControl {
public:
    std::string ClassName() const override { return "TRadioButton"; }
    bool Checked() const { return checked_; }
    // Checking one unchecks its siblings in the same container.
    void SetChecked(bool v);
    void Click() override;  // checks, then OnClick

private:
    bool checked_ = false;
};

class TListBox : public TWinControl {
public:
    std::string ClassName() const override { return "TListBox"; }
    std::vector<std::string> Items;
    bool MultiSelect = false;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int i);
    bool Selected(int i) const;
    void SetSelected(int i, bool v);
    void Clear();
    // Appends a line and tells the view (Items may also be filled directly before showing).
    void AddItem(const std::string& item);
    void UserSelect(int index);  // the user clicks an item
    void DefaultKeyDown(WORD& key, TShiftState shift) override;

private:
    int itemIndex_ = -1;
    std::vector<bool> selected_;
};

class TComboBox : public TWinControl {
public:
    std::string ClassName() const override { return "TComboBox"; }
    std::vector<std::string> Items;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int i);
    std::string Text() const { return itemIndex_ >= 0 && itemIndex_ < static_cast<int>(Items.size()) ? Items[static_cast<size_t>(itemIndex_)] : ""; }
    bool DroppedDown() const { return dropped_; }
    void SetDroppedDown(bool v);
    TNotifyEvent OnChange;
    void UserSelect(int index);
    void DefaultKeyDown(WORD& key, TShiftState shift) override;

private:
    int itemIndex_ = -1;
    bool dropped_ = false;
};

class TImage : public TControl {
public:
    std::string ClassName() const override { return "TImage"; }
    std::string Picture;  // resource or file name the view loads
};
