#include "ui/DBCtrls.h"

#include "core/Exception.h"
#include "ui/Application.h"

// ---- FieldLink ----

FieldLink::FieldLink(TCustomEdit& owner) : owner_(owner) {
    link_.OnStateChange = [this] {
        // A closed, disabled or browsing source has nothing pending to keep.
        if (!link_.Active() || link_.State() == TDataSetState::dsBrowse) pending_ = false;
        Refresh();
    };
    link_.OnDataChange = [this](TField* f) {
        if (f && f != Field()) return;
        pending_ = false;  // the record moved or code set the field
        Refresh();
    };
    link_.OnUpdateData = [this] { UpdateRecord(); };
}

void FieldLink::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    pending_ = false;
    Refresh();
}

void FieldLink::SetDataField(const std::string& name) {
    dataField_ = name;
    pending_ = false;
    Refresh();
}

TField* FieldLink::Field() const {
    if (!link_.Active() || dataField_.empty()) return nullptr;
    return link_.DataSet()->FindField(dataField_);
}

bool FieldLink::BeginUserEdit() {
    TField* f = Field();
    if (!f || f->ReadOnly || f->Calculated()) return false;
    TDataSet& ds = f->DataSet();
    if (ds.State() == TDataSetState::dsBrowse) {
        if (!link_.DataSource()->AutoEdit || !ds.CanModify()) return false;
        ds.Edit();
    }
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

void FieldLink::UpdateRecord() {
    if (!pending_) return;
    TField* f = Field();
    if (!f) {
        pending_ = false;
        return;
    }
    TDataSet& ds = f->DataSet();
    if (ds.State() != TDataSetState::dsEdit && ds.State() != TDataSetState::dsInsert) {
        pending_ = false;
        return;
    }
    std::string t = owner_.Text();
    f->SetText(t);  // may throw: the text stays for the user to correct
    pending_ = false;
}

void FieldLink::Refresh() {
    if (refreshing_ || pending_) return;
    refreshing_ = true;
    TField* f = Field();
    if (f) {
        if (auto* m = dynamic_cast<TMaskEdit*>(&owner_)) {
            if (!f->EditMask.empty() && m->EditMask() != f->EditMask) m->SetEditMask(f->EditMask);
            else if (f->EditMask.empty() && f->IsStringType() && f->Size() > 0) m->SetMaxLength(f->Size());
        }
        owner_.SetText(owner_.Focused() ? f->EditText() : f->DisplayText());
    } else {
        owner_.SetText("");
    }
    owner_.SetModified(false);
    refreshing_ = false;
}

// ---- TDBNavigator ----

void TDBNavigator::SetDataSource(TDataSource* s) {
    link_.SetDataSource(s);
    link_.OnStateChange = [this] { Changed("Buttons"); };
    link_.OnDataChange = [this](TField*) { Changed("Buttons"); };
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn b) const {
    if (!EnabledChain() || !link_.Active()) return false;
    TDataSet* ds = link_.DataSet();
    bool editing = ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
    bool canModify = ds->CanModify();
    switch (b) {
        case TNavigateBtn::nbFirst:
        case TNavigateBtn::nbPrior: return !ds->Bof() && !ds->IsEmpty();
        case TNavigateBtn::nbNext:
        case TNavigateBtn::nbLast: return !ds->Eof() && !ds->IsEmpty();
        case TNavigateBtn::nbInsert: return canModify;
        case TNavigateBtn::nbDelete: return canModify && !ds->IsEmpty();
        case TNavigateBtn::nbEdit: return canModify && !editing;
        case TNavigateBtn::nbPost:
        case TNavigateBtn::nbCancel: return canModify && editing;
        case TNavigateBtn::nbRefresh: return !editing;
    }
    return false;
}

void TDBNavigator::BtnClick(TNavigateBtn b) {
    TDataSet* ds = link_.DataSet();
    if (!ds) return;
    if (BeforeAction) BeforeAction(this, b);
    switch (b) {
        case TNavigateBtn::nbFirst: ds->First(); break;
        case TNavigateBtn::nbPrior: ds->Prior(); break;
        case TNavigateBtn::nbNext: ds->Next(); break;
        case TNavigateBtn::nbLast: ds->Last(); break;
        case TNavigateBtn::nbInsert: ds->Insert(); break;
        case TNavigateBtn::nbDelete:
            if (!ConfirmDelete || MessageDlg("Excluir registro?", TMsgDlgType::mtConfirmation,
                                             {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}) == mrOk)
                ds->Delete();
            break;
        case TNavigateBtn::nbEdit: ds->Edit(); break;
        case TNavigateBtn::nbPost: ds->Post(); break;
        case TNavigateBtn::nbCancel: ds->Cancel(); break;
        case TNavigateBtn::nbRefresh: ds->CheckBrowseMode(); break;
    }
    if (OnNavClick) OnNavClick(this, b);
}

void TDBNavigator::UserBtnClick(TNavigateBtn b) {
    if (!Showing() || !ButtonEnabled(b)) return;
    Application().RunUserAction([&] { BtnClick(b); });
}
