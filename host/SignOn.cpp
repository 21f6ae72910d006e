#include "SignOn.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "net/NetConnection.h"
#include "services/Morvena.h"

namespace host {

ServerAddress ParseServerUrl(const std::string& url) {
    std::string u = text::Trim(url);
    if (u.rfind("inproc://", 0) == 0) return {u, 0};
    std::string scheme;
    if (auto p = u.find("://"); p != std::string::npos) {
        scheme = u.substr(0, p + 3);
        u = u.substr(p + 3);
    }
    if (!u.empty() && u.back() == '/') u.pop_back();
    auto colon = u.rfind(':');
    if (u.empty() || colon == std::string::npos || colon == 0)
        throw Exception("Endereço do servidor inválido: \"" + url + "\" (use http://servidor:porta).");
    int port = 0;
    try {
        size_t used = 0;
        port = std::stoi(u.substr(colon + 1), &used);
        if (used != u.size() - colon - 1) port = 0;
    } catch (const std::exception&) {
        port = 0;
    }
    if (port <= 0 || port > 65535) throw Exception("Porta inválida no endereço do servidor: \"" + url + "\".");
    return {scheme + u.substr(0, colon), port};
}

namespace {

// The operator's own branch ("" when bound to none). A lookups database
// without the operators table binds nobody.
std::string boundBranch(db::SqlConnection& lookups, const std::string& op) {
    try {
        auto r = lookups.Query("SELECT CDFILIAL FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", op}});
        if (r.Empty() || r.rows[0][0].IsNull()) return "";
        return text::Trim(r.rows[0][0].AsString());
    } catch (const db::SqlError&) {
        return "";
    }
}

}  // namespace

SignOnResult SignOn(const ServerAddress& server, const SignOnRequest& req, db::SqlConnection& lookups) {
    const std::string op = text::Upper(text::Trim(req.Operator));
    std::string branch = text::Trim(req.Branch);
    if (op.empty()) throw Exception("Operador deve ser informado.");

    TNetConnection conn("netSessao", "Session");
    conn.Host = server.Host;
    conn.Port = server.Port;
    conn.SignOn(op, req.Password);
    conn.Close();

    SignOnResult result;
    result.Operator = op;
    const std::string own = boundBranch(lookups, op);
    if (!own.empty()) {
        if (!branch.empty() && branch != own)
            throw Exception("O operador " + op + " só tem acesso à filial " + own + ".");
        branch = own;
        result.BoundToBranch = true;
    }
    if (branch.empty()) throw Exception("Filial deve ser informada.");
    auto filial = lookups.Query("SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL");
    auto& ctx = Morvena::Context();
    std::map<std::string, std::string> names;
    for (auto& row : filial.rows) names[text::Trim(row[0].AsString())] = row[1].IsNull() ? "" : row[1].AsString();
    auto found = names.find(branch);
    if (found == names.end()) throw Exception("Filial não cadastrada.");
    result.Branch = branch;
    result.BranchName = found->second;

    std::map<std::string, TDateTime> dates;
    try {
        auto r = lookups.Query("SELECT CDFILIAL, DTPROCESSA FROM DATAPROC");
        for (auto& row : r.rows)
            if (!row[1].IsNull()) dates[text::Trim(row[0].AsString())] = row[1].AsDateTime();
    } catch (const db::SqlError&) {
        // Without processing dates the framework falls back to today's date.
    }

    Morvena::ResetContext();
    ctx.FiliProc = branch;
    ctx.Operador = op;
    ctx.ModuFili = result.BoundToBranch;
    ctx.WebURL = server.Host;
    ctx.WebPort = server.Port;
    ctx.Filiais = std::move(names);
    ctx.DataProcFilial = std::move(dates);
    result.DataProc = Morvena::DataProc(branch);
    return result;
}

}  // namespace host
