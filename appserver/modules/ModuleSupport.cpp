#include "modules/ModuleSupport.h"

#include "core/Text.h"
#include "net/RpcProtocol.h"

namespace appserver {

namespace {

Variant convert(const Variant& v, const PacketField& f) {
    if (v.IsNull()) return v;
    switch (f.type) {
        case TFieldType::ftString:
        case TFieldType::ftFixedChar: {
            // Cut to the field's size, as the client's field would (in place:
            // packets of a thousand rows pass here).
            std::string s = v.AsString();
            size_t end = s.size();
            while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t' || s[end - 1] == '\r' || s[end - 1] == '\n')) --end;
            s.resize(end);
            // No more bytes than the size: no more characters either.
            if (f.size > 0 && s.size() > static_cast<size_t>(f.size) && text::Length(s) > static_cast<size_t>(f.size))
                s = text::Left(s, f.size);
            return Variant(std::move(s));
        }
        case TFieldType::ftFloat: return Variant(v.AsFloat());
        case TFieldType::ftInteger: return Variant(static_cast<long long>(v.AsInteger()));
        case TFieldType::ftBoolean: return Variant(v.AsBoolean());
        case TFieldType::ftDateTime: {
            TDateTime d;
            return db::ToDateTime(v, d) ? Variant(d) : Variant();
        }
    }
    return v;
}

}  // namespace

DataPacket BuildPacket(const std::vector<PacketField>& fields, const db::SqlResult& result) {
    DataPacket p;
    p.fields = fields;
    std::vector<int> columns;
    columns.reserve(fields.size());
    for (const auto& f : fields) columns.push_back(result.ColumnIndex(f.name));
    p.rows.reserve(result.rows.size());
    for (const auto& row : result.rows) {
        PacketRow out;
        out.values.reserve(fields.size());
        for (size_t i = 0; i < fields.size(); ++i)
            out.values.push_back(columns[i] < 0 ? Variant() : convert(row[columns[i]], fields[i]));
        p.rows.push_back(std::move(out));
    }
    return p;
}

DataPacket BuildPacket(const std::vector<PacketField>& fields, db::SqlResult&& result) {
    bool inOrder = result.columns.size() == fields.size();
    for (size_t i = 0; inOrder && i < fields.size(); ++i)
        inOrder = result.ColumnIndex(fields[i].name) == static_cast<int>(i);
    if (!inOrder) return BuildPacket(fields, static_cast<const db::SqlResult&>(result));
    DataPacket p;
    p.fields = fields;
    p.rows.resize(result.rows.size());
    for (size_t r = 0; r < result.rows.size(); ++r) {
        VariantArray& values = p.rows[r].values;
        values = std::move(result.rows[r]);
        for (size_t i = 0; i < fields.size(); ++i) values[i] = convert(values[i], fields[i]);
    }
    return p;
}

DataPacket EmptyPacket(const std::vector<PacketField>& fields) {
    DataPacket p;
    p.fields = fields;
    return p;
}

std::string ArgText(const Variant& v) { return v.AsString(); }

bool ArgDay(const Variant& v, TDateTime& day) {
    if (v.IsNull()) return false;
    day = v.AsDateTime().DateOnly();
    return true;
}

double ArgQuantity(const Variant& v) {
    const double q = v.IsNull() ? 0.0 : v.AsFloat();
    if (!(q >= -kMaxQuantity && q <= kMaxQuantity))
        Fail("Quantidade " + v.AsString() + " fora do limite aceito.");
    return q;
}

void Fail(const std::string& text) { throw Exception(text); }

void RequireBranch(db::SqlConnection& conn, const std::string& branch) {
    if (conn.Query("SELECT CDFILIAL FROM FILIAL WHERE CDFILIAL = :F", {{"F", branch}}).Empty())
        Fail("Filial " + branch + " não cadastrada.");
}

void RequireBranchAccess(db::SqlConnection& conn, const CallContext& ctx, const std::string& branch) {
    const std::string wanted = text::Trim(branch);
    auto refuse = [&] {
        throw net::ERpcError(net::rpc_code::BranchForbidden, "Operador " + (ctx.Operator.empty() ? "-" : ctx.Operator) +
                                                                 " sem acesso à filial " + wanted + ".");
    };
    if (ctx.Operator.empty()) refuse();
    auto r = conn.Query("SELECT CDFILIAL FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", ctx.Operator}});
    if (r.Empty()) refuse();
    const std::string bound = r.rows[0][0].IsNull() ? std::string() : text::Trim(r.rows[0][0].AsString());
    if (!bound.empty() && bound != wanted) refuse();
}

void GuardBranches(Dispatcher& d) {
    d.SetBranchGuard([](CallContext& ctx, const std::string& branch) { RequireBranchAccess(ctx.Db(), ctx, branch); });
}

bool HoldsRight(db::SqlConnection& conn, const std::string& op, const std::string& right) {
    auto r = conn.Query(
        "SELECT O.CDOPERADOR FROM OPERADOR O, OPERDIREITO D"
        " WHERE O.CDOPERADOR = :O AND O.IDATIVO = 'S' AND D.CDOPERADOR = O.CDOPERADOR AND D.CDDIREITO = :D",
        {{"O", op}, {"D", right}});
    return !r.Empty();
}

void RequireRight(db::SqlConnection& conn, const CallContext& ctx, const std::string& right, const std::string& refusal) {
    if (ctx.Operator.empty() || !HoldsRight(conn, ctx.Operator, right)) Fail(refusal);
}

TDateTime ProcessingDate(db::SqlConnection& conn, const std::string& branch) {
    auto r = conn.Query("SELECT DTPROCESSA FROM DATAPROC WHERE CDFILIAL = :F", {{"F", branch}});
    TDateTime d;
    if (r.Empty() || !db::ToDateTime(r.rows[0][0], d)) Fail("Data de processamento não cadastrada para a filial " + branch + ".");
    return d.DateOnly();
}

}  // namespace appserver
