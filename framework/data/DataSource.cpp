#include "data/DataSource.h"

#include <algorithm>

// ---- TDataLink ---------------------------------------------------------------

TDataLink::~TDataLink() { SetDataSource(nullptr); }

void TDataLink::SetDataSource(TDataSource* source) {
    if (source_ == source) return;
    if (source_) {
        auto& l = source_->links_;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
    }
    source_ = source;
    if (source_) source_->links_.push_back(this);
    if (OnStateChange) OnStateChange();
}

TDataSet* TDataLink::DataSet() const { return source_ ? source_->DataSet() : nullptr; }

bool TDataLink::Active() const { return State() != TDataSetState::dsInactive; }

TDataSetState TDataLink::State() const { return source_ ? source_->State() : TDataSetState::dsInactive; }

// ---- TDataSource -------------------------------------------------------------

TDataSource::~TDataSource() {
    if (dataSet_) dataSet_->RemoveSource(this);
    for (TDataLink* l : links_) l->source_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet_ == dataSet) return;
    if (dataSet_) dataSet_->RemoveSource(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->AddSource(this);
    StateChanged();
    DataChanged(nullptr);
}

void TDataSource::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    // Going either way changes what the controls read: tell them both things.
    if (OnStateChange) OnStateChange(*this);
    auto links = links_;
    for (TDataLink* l : links)
        if (l->OnStateChange) l->OnStateChange();
    if (enabled_) DataChanged(nullptr);
}

TDataSetState TDataSource::State() const {
    if (!enabled_ || !dataSet_) return TDataSetState::dsInactive;
    return dataSet_->State();
}

void TDataSource::StateChanged() {
    if (!enabled_) return;
    if (OnStateChange) OnStateChange(*this);
    auto links = links_;  // a handler may unhook a link
    for (TDataLink* l : links)
        if (l->OnStateChange) l->OnStateChange();
}

void TDataSource::DataChanged(TField* field) {
    if (!enabled_) return;
    if (OnDataChange) OnDataChange(*this, field);
    auto links = links_;
    for (TDataLink* l : links)
        if (l->OnDataChange) l->OnDataChange(field);
}

void TDataSource::UpdateData() {
    if (!enabled_) return;
    if (OnUpdateData) OnUpdateData(*this);
    auto links = links_;
    for (TDataLink* l : links)
        if (l->OnUpdateData) l->OnUpdateData();
}
