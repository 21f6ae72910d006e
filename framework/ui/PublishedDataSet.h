#pragma once
// Datasets are plain members of their form, not components. Publishing one
// puts a named reference among the form's components, so that whatever looks
// components up by name (the scenario driver, a view's inspector) finds the
// dataset as well. The reference dies with the form and owns nothing.
#include "data/DataSet.h"
#include "ui/Component.h"

class TDataSetRef : public TComponent {
public:
    explicit TDataSetRef(TDataSet* dataSet) : dataSet_(dataSet) {}
    std::string ClassName() const override { return "TDataSetRef"; }
    TDataSet* DataSet() const { return dataSet_; }

private:
    TDataSet* dataSet_;
};

// Publishes `dataSet` under its Name on `owner` (normally the form holding it
// as a member, so the reference never outlives the dataset in use).
inline TDataSetRef* PublishDataSet(TComponent& owner, TDataSet& dataSet) {
    return TComponent::Create<TDataSetRef>(&owner, dataSet.Name, &dataSet);
}
