#pragma once
// Data-aware controls: they read their field through a data source and write
// it back. A disabled or inactive source shows nothing and refuses typing.
// Typing into a browsing record puts the dataset into edit (when the source's
// AutoEdit allows); the text goes to the field when the control is left (before
// its OnExit) or when the record is posted.
#include "data/DataSource.h"
#include "ui/StdCtrls.h"

#include <string>

// The link between one control and its field.
class FieldLink {
public:
    explicit FieldLink(TCustomEdit& owner);
    // A control going away shows nothing more: its change handler must not
    // run while the form around it is being torn down.
    ~FieldLink() {
        link_.OnStateChange = nullptr;
        link_.OnDataChange = nullptr;
    }
    FieldLink(const FieldLink&) = delete;
    FieldLink& operator=(const FieldLink&) = delete;
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source);
    const std::string& DataField() const { return dataField_; }
    void SetDataField(const std::string& name);
    // The bound field; null without source, inactive dataset or unknown name.
    TField* Field() const;
    // Whether the user may type now; starts editing the record when needed.
    bool BeginUserEdit();
    // Writes pending text to the field (the field's conversions may throw).
    void UpdateRecord();
    // Shows the field's text (edit text while focused).
    void Refresh();
    bool Pending() const { return pending_; }
    void SetPending(bool v) { pending_ = v; }

private:
    TCustomEdit& owner_;
    TDataLink link_;
    std::string dataField_;
    bool pending_ = false;
    bool refreshing_ = false;
};

template <class Base>
class TDBEditOf : public Base {
public:
    TDBEditOf() : link_(*this) {}
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* s) { link_.SetDataSource(s); }
    const std::string& DataField() const { return link_.DataField(); }
    void SetDataField(const std::string& f) { link_.SetDataField(f); }
    TField* Field() const { return link_.Field(); }
    // Writes what was typed into the field now.
    void UpdateRecord() { link_.UpdateRecord(); }

    void DoEnter() override {
        link_.Refresh();
        Base::DoEnter();
    }
    void DoExit() override {
        // The field takes the text first; a refusal keeps the focus here.
        link_.UpdateRecord();
        link_.Refresh();
        Base::DoExit();
    }
    void DefaultKeyDown(WORD& key, TShiftState shift) override {
        if (key == VK_ESCAPE && link_.Pending()) {
            // Esc drops what was typed and shows the field again.
            link_.SetPending(false);
            link_.Refresh();
            this->SelectAll();
            key = 0;
            return;
        }
        Base::DefaultKeyDown(key, shift);
    }

protected:
    bool CanUserEdit() override { return !this->ReadOnly() && link_.BeginUserEdit(); }
    void UserChanged() override { link_.SetPending(true); }
    FieldLink link_;
};

class TDBEdit : public TDBEditOf<TMaskEdit> {
public:
    std::string ClassName() const override { return "TDBEdit"; }
};

class TDBDateEdit : public TDBEditOf<TDateEdit> {
public:
    std::string ClassName() const override { return "TDBDateEdit"; }
};

// Navigator bar: buttons over a data source's dataset.
enum class TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
using TNavClickEvent = std::function<void(TObject* Sender, TNavigateBtn Button)>;

class TDBNavigator : public TContainer {
public:
    ~TDBNavigator() override = default;
    std::string ClassName() const override { return "TDBNavigator"; }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* s);
    // Whether a button can act now (the bar enabled, the dataset active and in the right state).
    bool ButtonEnabled(TNavigateBtn button) const;
    // Acts as the button does (no enabled check), then OnClick.
    void BtnClick(TNavigateBtn button);
    // A user's click: only on an enabled button; errors go to the error handler.
    void UserBtnClick(TNavigateBtn button);
    bool ConfirmDelete = true;  // asks before deleting
    TNavClickEvent BeforeAction, OnNavClick;

private:
    TDataLink link_;
};
