#pragma once
// TField: one column of a dataset. A field holds no value of its own: it reads
// and writes the dataset's active record (the current row in browse state, the
// edit buffer in edit/insert state, the row being calculated in OnCalcFields).
// Fields are created and owned by their dataset (TDataSet::AddField, or from a
// packet's field list for datasets without declared fields) and live until the
// dataset is destroyed (declared fields) or closed (fields made from a packet).
#include "core/Packet.h"
#include "core/Variant.h"

#include <cstdint>
#include <functional>
#include <string>

class TDataSet;
class TField;

enum class TFieldKind { fkData, fkCalculated };

using TFieldNotifyEvent = std::function<void(TField&)>;

class TField {
public:
    // Used by TDataSet::AddField; not meant to be called directly. A string
    // field with size 0 gets the default size 20.
    TField(TDataSet& dataSet, std::string fieldName, TFieldType type, int size, TFieldKind kind);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    // ---- Structure -------------------------------------------------------
    TDataSet& DataSet() const { return *dataSet_; }
    const std::string& FieldName() const { return fieldName_; }
    TFieldType DataType() const { return dataType_; }
    int Size() const { return size_; }  // characters, for string fields; 0 otherwise
    TFieldKind FieldKind() const { return kind_; }
    bool Calculated() const { return kind_ == TFieldKind::fkCalculated; }
    bool IsStringType() const { return dataType_ == TFieldType::ftString || dataType_ == TFieldType::ftFixedChar; }
    bool IsNumericType() const { return dataType_ == TFieldType::ftFloat || dataType_ == TFieldType::ftInteger; }
    // Position in the dataset's field list (column order of grids). SetIndex
    // moves the field; the others shift.
    int Index() const;
    void SetIndex(int index);
    // Label for grid titles and messages: the DisplayLabel, or FieldName when none was set.
    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(std::string label) { displayLabel_ = std::move(label); }

    // ---- Attributes (plain, read by grids, edits and the dataset) ---------
    std::string Name;            // component name, e.g. "cdsItLanctoEstQTEXTRARETI"
    bool Visible = true;
    bool Required = false;       // Post refuses a null value: "Field 'X' must have a value"
    bool ReadOnly = false;       // setting the value raises "Field 'X' cannot be modified"
    std::string DisplayFormat;   // floats: FormatFloat mask ("#,##0.00000"); dates: "dd/mm/yyyy"
    std::string EditFormat;      // text shown while editing (floats); empty = DisplayFormat's digits without separators
    std::string EditMask;        // input mask, honoured by the toolkit's masked edits
    double MinValue = 0;         // numeric range, checked when MinValue or MaxValue is not 0
    double MaxValue = 0;
    std::string Origin;          // "TABLE.COLUMN" the value comes from, informative
    int DisplayWidth = 0;        // characters; 0 = the grid's default
    int Tag = 0;

    // ---- Events -----------------------------------------------------------
    // Runs after the new value is in place, before OnChange. An exception
    // (EAbort included) puts the old value back and propagates.
    TFieldNotifyEvent OnValidate;
    // Runs after a value was accepted.
    TFieldNotifyEvent OnChange;
    // The toolkit's grid/edit sets this to focus the control (or column) that
    // edits the field; FocusControl() calls it (no-op when unset).
    TFieldNotifyEvent OnFocusControl;

    // ---- Value ------------------------------------------------------------
    // Getters read the active record. A null value reads as "" / 0 / false /
    // TDateTime(0); IsNull tells it apart. They throw EConvertError when the
    // stored value cannot be converted (a string field holding "abc" read AsFloat).
    bool IsNull() const;
    Variant Value() const;  // the stored variant (Null when null)
    Variant AsVariant() const { return Value(); }
    std::string AsString() const;
    double AsFloat() const;
    int64_t AsInteger() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;

    // Setters convert to the field's type (EConvertError when impossible:
    // "'abc' is not a valid floating point value for field 'X'"), cut strings
    // to Size characters (UTF-8 aware), check ReadOnly and the numeric range,
    // run OnValidate then OnChange and notify the data sources.
    // They require the dataset in edit or insert state ("Dataset not in edit or
    // insert mode"); calculated fields are set only inside OnCalcFields.
    // Setting a value "as variants" equal to the current one still runs the events.
    void SetValue(const Variant& v);
    void SetAsVariant(const Variant& v) { SetValue(v); }
    void SetAsString(const std::string& s);  // "" on a non-string field sets null
    void SetAsFloat(double d);
    void SetAsInteger(int64_t i);
    void SetAsDateTime(TDateTime d);
    void SetAsBoolean(bool b);
    void Clear();  // sets null

    // Text for display: applies DisplayFormat (floats through FormatFloat with the
    // system separators, dates through FormatDateTime; default: dates "dd/mm/yyyy",
    // with time when present); "" for null. Booleans read "True"/"False".
    std::string DisplayText() const;
    // Text for an edit control: EditFormat for floats (else DisplayFormat without
    // thousands separators), dates "dd/mm/yyyy"; "" for null.
    std::string EditText() const;
    // Parses text typed by the user: "" sets null; floats accept either decimal
    // separator and thousands separators; dates "dd/mm/yyyy". Same rules as SetValue.
    void SetText(const std::string& text);

    void FocusControl() { if (OnFocusControl) OnFocusControl(*this); }

private:
    friend class TDataSet;
    Variant Convert(const Variant& v) const;  // to the field's type; throws EConvertError
    void CheckRange(const Variant& v) const;

    TDataSet* dataSet_;
    std::string fieldName_;
    TFieldType dataType_;
    int size_;
    TFieldKind kind_;
    std::string displayLabel_;
    int column_ = -1;  // data fields: column in the row storage; calculated: slot in the calc buffer
};
