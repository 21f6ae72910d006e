#include "data/FilterExpression.h"

#include "core/Text.h"
#include "data/ValueCompare.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace {

enum class Tok { End, Name, String, Number, LParen, RParen, Op, Minus };
enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

struct Token {
    Tok kind = Tok::End;
    std::string text;
    Op op = Op::Eq;
    size_t pos = 0;
};

constexpr int kMaxDepth = 100;

bool NameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool NameChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }

struct Operand {
    int column = -1;  // a field, or a constant when -1
    Variant value;
    std::string text;      // constant string, ready for comparing
    bool partial = false;  // 'AB*'
};

}  // namespace

struct FilterExpression::Node {
    enum Kind { And, Or, Not, Compare, IsNull } kind = Compare;
    std::unique_ptr<Node> left, right;
    Op op = Op::Eq;
    Operand a, b;
    bool negate = false;
};

namespace {

class Parser {
public:
    Parser(const std::string& text, const FilterExpression::FieldResolver& resolve, bool partialCompare)
        : s_(text), resolve_(resolve), partialCompare_(partialCompare) {
        Advance();
    }

    std::unique_ptr<FilterExpression::Node> ParseAll() {
        if (tok_.kind == Tok::End) Fail("Filter expression is empty", tok_.pos);
        auto n = ParseOr(0);
        if (tok_.kind != Tok::End) Fail("Unexpected '" + tok_.text + "'", tok_.pos);
        return n;
    }

private:
    [[noreturn]] void Fail(const std::string& what, size_t pos) const {
        throw EFilterError(what + " at position " + std::to_string(pos + 1) + " of filter \"" + s_ + "\"");
    }

    void Advance() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
        tok_ = Token();
        tok_.pos = i_;
        if (i_ >= s_.size()) return;
        unsigned char c = static_cast<unsigned char>(s_[i_]);
        if (c == '\'') {
            std::string out;
            ++i_;
            for (;;) {
                if (i_ >= s_.size()) Fail("Unterminated string", tok_.pos);
                if (s_[i_] == '\'') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
                        out += '\'';
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    break;
                }
                out += s_[i_++];
            }
            tok_.kind = Tok::String;
            tok_.text = std::move(out);
            return;
        }
        if (c == '[') {
            size_t end = s_.find(']', i_);
            if (end == std::string::npos) Fail("Unterminated field name", tok_.pos);
            tok_.kind = Tok::Name;
            tok_.text = s_.substr(i_ + 1, end - i_ - 1);
            i_ = end + 1;
            return;
        }
        if (std::isdigit(c) || (c == '.' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1])))) {
            size_t start = i_;
            while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.')) ++i_;
            if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
                ++i_;
                if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
                while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
            }
            tok_.kind = Tok::Number;
            tok_.text = s_.substr(start, i_ - start);
            return;
        }
        if (NameStart(c)) {
            size_t start = i_;
            while (i_ < s_.size() && NameChar(static_cast<unsigned char>(s_[i_]))) ++i_;
            tok_.kind = Tok::Name;
            tok_.text = s_.substr(start, i_ - start);
            return;
        }
        ++i_;
        tok_.text = std::string(1, static_cast<char>(c));
        switch (c) {
            case '(': tok_.kind = Tok::LParen; return;
            case ')': tok_.kind = Tok::RParen; return;
            case '-': tok_.kind = Tok::Minus; return;
            case '=': tok_.kind = Tok::Op; tok_.op = Op::Eq; return;
            case '<':
                tok_.kind = Tok::Op;
                tok_.op = Op::Lt;
                if (i_ < s_.size() && s_[i_] == '>') { tok_.op = Op::Ne; tok_.text = "<>"; ++i_; }
                else if (i_ < s_.size() && s_[i_] == '=') { tok_.op = Op::Le; tok_.text = "<="; ++i_; }
                return;
            case '>':
                tok_.kind = Tok::Op;
                tok_.op = Op::Gt;
                if (i_ < s_.size() && s_[i_] == '=') { tok_.op = Op::Ge; tok_.text = ">="; ++i_; }
                return;
            default: break;
        }
        Fail("Unexpected character '" + tok_.text + "'", tok_.pos);
    }

    bool IsKeyword(const char* kw) const { return tok_.kind == Tok::Name && text::SameText(tok_.text, kw); }

    std::unique_ptr<FilterExpression::Node> Binary(FilterExpression::Node::Kind kind,
                                                   std::unique_ptr<FilterExpression::Node> l,
                                                   std::unique_ptr<FilterExpression::Node> r) {
        auto n = std::make_unique<FilterExpression::Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    void CheckDepth(int depth) const {
        if (depth > kMaxDepth) Fail("Filter expression nested too deeply", tok_.pos);
    }

    std::unique_ptr<FilterExpression::Node> ParseOr(int depth) {
        CheckDepth(depth);
        auto n = ParseAnd(depth + 1);
        while (IsKeyword("OR")) {
            Advance();
            n = Binary(FilterExpression::Node::Or, std::move(n), ParseAnd(depth + 1));
        }
        return n;
    }

    std::unique_ptr<FilterExpression::Node> ParseAnd(int depth) {
        CheckDepth(depth);
        auto n = ParseNot(depth + 1);
        while (IsKeyword("AND")) {
            Advance();
            n = Binary(FilterExpression::Node::And, std::move(n), ParseNot(depth + 1));
        }
        return n;
    }

    std::unique_ptr<FilterExpression::Node> ParseNot(int depth) {
        CheckDepth(depth);
        if (IsKeyword("NOT")) {
            Advance();
            auto n = std::make_unique<FilterExpression::Node>();
            n->kind = FilterExpression::Node::Not;
            n->left = ParseNot(depth + 1);
            return n;
        }
        return ParsePrimary(depth + 1);
    }

    std::unique_ptr<FilterExpression::Node> ParsePrimary(int depth) {
        CheckDepth(depth);
        if (tok_.kind == Tok::LParen) {
            Advance();
            auto n = ParseOr(depth + 1);
            if (tok_.kind != Tok::RParen) Fail("Missing ')'", tok_.pos);
            Advance();
            return n;
        }
        auto n = std::make_unique<FilterExpression::Node>();
        size_t at = tok_.pos;
        n->a = ParseOperand();
        if (IsKeyword("IS")) {
            Advance();
            n->kind = FilterExpression::Node::IsNull;
            if (IsKeyword("NOT")) {
                n->negate = true;
                Advance();
            }
            if (!IsKeyword("NULL")) Fail("NULL expected after IS", tok_.pos);
            Advance();
            return n;
        }
        if (tok_.kind != Tok::Op) {
            if (tok_.kind == Tok::End) Fail("Comparison expected after the operand", at);
            Fail("Comparison expected before '" + tok_.text + "'", tok_.pos);
        }
        n->kind = FilterExpression::Node::Compare;
        n->op = tok_.op;
        Advance();
        n->b = ParseOperand();
        // "X = NULL" and "X <> NULL" read as IS NULL / IS NOT NULL.
        bool aNull = n->a.column < 0 && n->a.value.IsNull();
        bool bNull = n->b.column < 0 && n->b.value.IsNull();
        if ((aNull || bNull) && (n->op == Op::Eq || n->op == Op::Ne)) {
            n->negate = n->op == Op::Ne;
            n->kind = FilterExpression::Node::IsNull;
            if (aNull) std::swap(n->a, n->b);
        }
        if (n->a.column < 0) std::swap(n->a, n->b), n->op = Mirror(n->op);
        return n;
    }

    static Op Mirror(Op op) {
        switch (op) {
            case Op::Lt: return Op::Gt;
            case Op::Gt: return Op::Lt;
            case Op::Le: return Op::Ge;
            case Op::Ge: return Op::Le;
            default: return op;
        }
    }

    Operand ParseOperand() {
        Operand o;
        bool negative = false;
        if (tok_.kind == Tok::Minus) {
            negative = true;
            Advance();
            if (tok_.kind != Tok::Number) Fail("Number expected after '-'", tok_.pos);
        }
        switch (tok_.kind) {
            case Tok::String:
                o.text = tok_.text;
                if (partialCompare_ && !o.text.empty() && o.text.back() == '*') {
                    o.partial = true;
                    o.text.pop_back();
                }
                o.value = Variant(tok_.text);
                break;
            case Tok::Number: {
                double d = 0;
                auto res = std::from_chars(tok_.text.data(), tok_.text.data() + tok_.text.size(), d);
                if (res.ec != std::errc() || res.ptr != tok_.text.data() + tok_.text.size() || !std::isfinite(d))
                    Fail("Invalid number '" + tok_.text + "'", tok_.pos);
                o.value = Variant(negative ? -d : d);
                break;
            }
            case Tok::Name:
                if (text::SameText(tok_.text, "NULL")) break;
                if (text::SameText(tok_.text, "TRUE")) { o.value = Variant(true); break; }
                if (text::SameText(tok_.text, "FALSE")) { o.value = Variant(false); break; }
                if (IsKeyword("AND") || IsKeyword("OR") || IsKeyword("NOT") || IsKeyword("IS"))
                    Fail("Operand expected before '" + tok_.text + "'", tok_.pos);
                o.column = resolve_(tok_.text);
                if (o.column < 0) Fail("Field '" + tok_.text + "' not found", tok_.pos);
                break;
            case Tok::End: Fail("Operand expected at the end", tok_.pos);
            default: Fail("Operand expected before '" + tok_.text + "'", tok_.pos);
        }
        Advance();
        return o;
    }

    const std::string& s_;
    const FilterExpression::FieldResolver& resolve_;
    bool partialCompare_;
    size_t i_ = 0;
    Token tok_;
};

// Three-way comparison of a row value with an operand value; false in `ok`
// when the two cannot be compared (different kinds that do not convert).
int Compare3(const Variant& x, const Variant& y, bool noCase, bool& ok) {
    ok = true;
    if (x.IsArray() || x.IsPacket() || y.IsArray() || y.IsPacket()) {
        ok = false;
        return 0;
    }
    if (x.IsNumberLike() && y.IsNumberLike()) return CompareValues(x, y);
    if (x.IsString() && y.IsString()) {
        std::string a = x.AsString(), b = y.AsString();
        if (noCase) {
            a = text::Upper(a);
            b = text::Upper(b);
        }
        int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    // A number or date against a text constant: the text is read as one.
    const Variant& num = x.IsNumberLike() ? x : y;
    const Variant& str = x.IsNumberLike() ? y : x;
    double d;
    TDateTime dt;
    double other;
    if (num.Type() == VarType::DateTime && (TryStrToDate(str.AsString(), dt) || TryIsoToDateTime(str.AsString(), dt)))
        other = dt.Val;
    else if (TryStrToFloat(str.AsString(), d))
        other = d;
    else {
        ok = false;
        return 0;
    }
    double n = num.AsFloat();
    int c = n < other ? -1 : (n > other ? 1 : 0);
    return &num == &x ? c : -c;
}

bool Eval(const FilterExpression::Node& n, const VariantArray& row, bool noCase) {
    using N = FilterExpression::Node;
    switch (n.kind) {
        case N::And: return Eval(*n.left, row, noCase) && Eval(*n.right, row, noCase);
        case N::Or: return Eval(*n.left, row, noCase) || Eval(*n.right, row, noCase);
        case N::Not: return !Eval(*n.left, row, noCase);
        case N::IsNull: {
            const Variant& v = n.a.column >= 0 && static_cast<size_t>(n.a.column) < row.size() ? row[n.a.column] : n.a.value;
            return v.IsNull() != n.negate;
        }
        case N::Compare: {
            auto get = [&](const Operand& o) -> const Variant& {
                return o.column >= 0 && static_cast<size_t>(o.column) < row.size() ? row[o.column] : o.value;
            };
            const Variant& x = get(n.a);
            const Variant& y = get(n.b);
            // A null equals only NULL and differs from every value.
            if (x.IsNull() || y.IsNull()) return n.op == Op::Ne && !(x.IsNull() && y.IsNull());
            if (n.b.partial && n.b.column < 0 && x.IsString() && (n.op == Op::Eq || n.op == Op::Ne)) {
                bool m = TextMatches(x, n.b.text, noCase, true);
                return n.op == Op::Eq ? m : !m;
            }
            bool ok;
            int c = Compare3(x, y, noCase, ok);
            if (!ok) return n.op == Op::Ne;
            switch (n.op) {
                case Op::Eq: return c == 0;
                case Op::Ne: return c != 0;
                case Op::Lt: return c < 0;
                case Op::Gt: return c > 0;
                case Op::Le: return c <= 0;
                case Op::Ge: return c >= 0;
            }
            return false;
        }
    }
    return false;
}

}  // namespace

FilterExpression::~FilterExpression() = default;

std::unique_ptr<FilterExpression> FilterExpression::Parse(const std::string& text, const FieldResolver& resolve,
                                                          bool caseInsensitive, bool partialCompare) {
    Parser p(text, resolve, partialCompare);
    std::unique_ptr<FilterExpression> e(new FilterExpression());
    e->root_ = p.ParseAll();
    e->caseInsensitive_ = caseInsensitive;
    return e;
}

bool FilterExpression::Matches(const VariantArray& row) const { return Eval(*root_, row, caseInsensitive_); }
