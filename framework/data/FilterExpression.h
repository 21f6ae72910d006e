#pragma once
// The filter expression language of datasets, parsed once and evaluated per row:
//   expr    := or
//   or      := and { OR and }
//   and     := not { AND not }
//   not     := NOT not | primary
//   primary := '(' expr ')' | operand [ cmp operand | IS [NOT] NULL ]
//   operand := field | 'string' (doubled quote inside) | number | NULL | TRUE | FALSE
//   cmp     := = | <> | < | > | <= | >=
// Field names are letters, digits and '_' (or [bracketed]); keywords and names
// compare without regard to case. A comparison with NULL (other than IS NULL)
// is false. Strings are data only: a quote inside a value cannot change the
// expression's meaning.
#include "core/Exception.h"
#include "core/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A malformed expression or an unknown field; the message names the problem
// and its position.
class EFilterError : public Exception {
public:
    using Exception::Exception;
};

class FilterExpression {
public:
    // Maps a field name to a column index; returns -1 for an unknown field.
    using FieldResolver = std::function<int(const std::string&)>;
    // Throws EFilterError. caseInsensitive: string comparisons ignore case;
    // partialCompare: a string constant ending in '*' matches by prefix.
    static std::unique_ptr<FilterExpression> Parse(const std::string& text, const FieldResolver& resolve,
                                                   bool caseInsensitive, bool partialCompare);
    ~FilterExpression();
    // True when the row (values by column index) passes; never throws for
    // values of any kind (incomparable kinds compare false).
    bool Matches(const VariantArray& row) const;

    struct Node;
private:
    FilterExpression() = default;
    std::unique_ptr<Node> root_;
    bool caseInsensitive_ = false;
};
