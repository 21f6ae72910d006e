#pragma once
// TDataSource: links data-aware controls to a dataset. A disabled source reads
// as inactive, and its links hear nothing until it is enabled again (then they
// hear one state change and one data change).
//
// Controls listen through a TDataLink (one per control); a source may have
// many links, and a dataset many sources. Neither owns the other: destroying
// any of them unhooks it cleanly.
#include "data/DataSet.h"

#include <functional>
#include <string>
#include <vector>

class TDataSource;

// A control's hook on a data source. All callbacks are optional.
class TDataLink {
public:
    TDataLink() = default;
    ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }
    TDataSet* DataSet() const;          // nullptr without a source or dataset
    bool Active() const;                // the source reads an active dataset
    TDataSetState State() const;        // the source's state

    std::function<void()> OnStateChange;            // state (or Enabled/DataSet) changed
    std::function<void(TField*)> OnDataChange;      // a field (or, nullptr, the record/dataset) changed
    std::function<void()> OnUpdateData;             // before Post: write pending text to the field

private:
    friend class TDataSource;
    TDataSource* source_ = nullptr;
};

class TDataSource {
public:
    TDataSource() = default;
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    std::string Name;  // component name, e.g. "dtsItLanctoEst"
    bool AutoEdit = true;  // controls may put the dataset into edit when typed into

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // dsInactive when disabled or without a dataset, else the dataset's state.
    TDataSetState State() const;

    std::function<void(TDataSource&)> OnStateChange;
    std::function<void(TDataSource&, TField*)> OnDataChange;  // field, or nullptr for record/scroll
    std::function<void(TDataSource&)> OnUpdateData;

private:
    friend class TDataSet;
    friend class TDataLink;
    void StateChanged();
    void DataChanged(TField* field);
    void UpdateData();
    void DataSetGone() { dataSet_ = nullptr; StateChanged(); }

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<TDataLink*> links_;
};
