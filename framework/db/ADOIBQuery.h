#pragma once
// TADOIBQuery: the read-only query component of the suite. It holds one query
// in several dialects and runs the one for the database in use on its
// connection (the client's shared local connection unless one is given):
// SQLite and PostgreSQL run the generic text SQL, or SQL_ORACLE where SQL is
// empty (the functions Oracle texts use are provided by the connection).
// SQL_MSSQL and SQL_IB are kept for the screen's sake and never run here.
//
// Parameters follow the texts: every :NAME of any of the four texts is a
// parameter, looked up without regard to case; values set survive a change of
// text when the name stays. A parameter left unset binds null.
//
// Fields: declared ones (AddField) shape the rows, each filled from the
// result column of the same name (a missing column raises on Open); without
// declared fields, fields follow the result's columns. Opening runs BeforeOpen
// first, so a handler may still change texts and parameters.
#include "data/DataSet.h"
#include "db/Params.h"
#include "db/SqlConnection.h"

#include <memory>
#include <string>

// A declared field as the screen lists it.
struct TFieldDef {
    TFieldDef(std::string name_, TFieldType type_ = TFieldType::ftString, int size_ = 0, std::string label_ = {},
              bool visible_ = true, bool required_ = false, int width_ = 0)
        : name(std::move(name_)), type(type_), size(size_), label(std::move(label_)), visible(visible_),
          required(required_), width(width_) {}
    std::string name;
    TFieldType type;
    int size;           // strings; 0 = default 20
    std::string label;  // DisplayLabel; empty = the name
    bool visible;
    bool required;
    int width;          // DisplayWidth; 0 = default
};

class TADOIBQuery : public TDataSet {
public:
    TADOIBQuery();
    explicit TADOIBQuery(std::string name);

    std::string SQL, SQL_ORACLE, SQL_MSSQL, SQL_IB;

    // The connection used; null = the process's local connection (db::LocalConnection).
    std::shared_ptr<db::SqlConnection> Connection;

    using TDataSet::AddField;
    TField& AddField(const TFieldDef& def);

    TParams& Params();
    TParam& ParamByName(const std::string& name) { return Params().ParamByName(name); }

    // The text that runs on a database of the dialect (see above); "" when none.
    std::string TextFor(db::Dialect dialect) const;

    // Copies the four texts and the parameter values of another query.
    void AssignSQL(const TADOIBQuery& from);

protected:
    // Runs the text and loads the rows. Throws Exception naming the query when no
    // text applies or no connection is set; db::SqlError from the database.
    void InternalOpen() override;

private:
    void syncParams();
    std::string synced_[4];
    bool everSynced_ = false;
    TParams params_;
};
