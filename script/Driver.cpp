#include "Driver.h"

#include "AppServer.h"
#include "core/Exception.h"
#include "core/Packet.h"
#include "core/Text.h"
#include "db/ConnectionUrl.h"
#include "db/LocalConnection.h"
#include "net/ClientSessions.h"
#include "net/HttpTransport.h"
#include "net/InProcessTransport.h"
#include "net/NetConnection.h"
#include "net/RpcProtocol.h"
#include "services/Morvena.h"
#include "store/Database.h"
#include "store/Password.h"
#include "ui/Application.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace script {

namespace {

constexpr const char* kEndpointName = "pla-script";

bool isQuery(const std::string& statement) {
    std::string head = text::Upper(text::Left(text::Trim(statement), 6));
    return text::StartsWith(head, "SELECT") || text::StartsWith(head, "WITH") || text::StartsWith(head, "PRAGMA");
}

// "http://host:port" -> host, port.
void splitUrl(const std::string& url, std::string& host, int& port) {
    std::string s = text::Trim(url);
    for (const char* scheme : {"http://", "HTTP://"})
        if (text::StartsWith(s, scheme)) s = s.substr(std::string(scheme).size());
    while (!s.empty() && s.back() == '/') s.pop_back();
    auto colon = s.rfind(':');
    port = 0;
    if (colon != std::string::npos) {
        try {
            port = std::stoi(s.substr(colon + 1));
        } catch (const std::exception&) {
            port = 0;
        }
        s = s.substr(0, colon);
    }
    if (s.empty() || port <= 0) throw Exception("--server wants http://HOST:PORT, not \"" + url + "\"");
    host = s;
}

}  // namespace

std::string VariantText(const Variant& v) {
    switch (v.Type()) {
        case VarType::Null: return "null";
        case VarType::Bool: return v.AsBoolean() ? "true" : "false";
        case VarType::Integer: return std::to_string(v.AsInteger());
        case VarType::Double: return FloatToStr(v.AsFloat());
        case VarType::String: return v.AsString();
        case VarType::DateTime: {
            TDateTime d = v.AsDateTime();
            return d.Val == std::floor(d.Val) ? DateToStr(d) : DateTimeToStr(d);
        }
        case VarType::Array: {
            std::string s = "[";
            bool first = true;
            for (auto& item : v.AsArray()) {
                s += (first ? "" : ", ") + VariantText(item);
                first = false;
            }
            return s + "]";
        }
        case VarType::Packet: return "(packet of " + std::to_string(v.AsPacket().rows.size()) + " rows)";
    }
    return {};
}

std::string Driver::EndpointHost() { return std::string(net::kInProcessScheme) + kEndpointName; }

Driver::Driver(DriverOptions options, Transcript& transcript)
    : options_(std::move(options)), transcript_(transcript) {
    if (options_.modulePath.empty()) options_.modulePath = DefaultModulePath();
    Application().Reset();
    Morvena::ResetContext();
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs->OnRecord = [this](const DialogRecord& r) { transcript_.Shown(r); };
    dialogs_ = dialogs.get();
    Application().SetDialogs(std::move(dialogs));
    Morvena::SetScreenLoader([this](const std::string& code, const Variant& params) {
        transcript_.OpenScreen(code, params.IsNull() ? "" : VariantText(params));
        if (openScreens_) Morvena::LoadModule(code, params);
    });

    // Every connection of the screen reaches the server through this endpoint.
    net::RpcHandler inner;
    if (!options_.serverUrl.empty()) {
        std::string host;
        int port = 0;
        splitUrl(options_.serverUrl, host, port);
        auto http = std::make_shared<net::HttpTransport>(host, port);
        inner = [http](const std::string& request, const std::string& token) {
            try {
                return http->Send(request, token);
            } catch (const std::exception& e) {
                return net::EncodeError({}, net::rpc_code::InternalError, e.what());
            }
        };
    } else {
        inner = [this](const std::string& request, const std::string& token) {
            if (!server_)
                return net::EncodeError({}, net::rpc_code::InternalError,
                                        "the scenario's application server has not started");
            return server_->Handler()(request, token);
        };
    }
    net::RegisterInProcessServer(kEndpointName, calls_.Wrap(std::move(inner)));
    Morvena::Context().WebURL = EndpointHost();
    Morvena::Context().WebPort = 0;
}

Driver::~Driver() {
    // Forms first: their connections still point at the endpoint.
    Application().Reset();
    Morvena::SetScreenLoader({});
    Morvena::ResetContext();
    net::UnregisterInProcessServer(kEndpointName);
    net::ClearSessionToken(EndpointHost());
    db::SetLocalConnection(nullptr);
    local_.reset();
    server_.reset();
    if (!tempDir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(tempDir_, ec);
    }
}

void Driver::SetDatabaseMode(bool demo) {
    if (databaseMade_) throw Exception("the database is already made: `database` comes before sql, signon and open");
    demo_ = demo;
    if (!options_.dbUrl.empty() || !options_.serverUrl.empty())
        transcript_.Line("[note] the database given with --db or --server is used as it is");
}

void Driver::makeDatabase() {
    if (databaseMade_) return;
    databaseMade_ = true;
    appserver::AppServerOptions serverOptions;
    serverOptions.log = appserver::NullLogSink();
    if (!options_.dbUrl.empty()) {
        if (options_.serverUrl.empty()) {
            serverOptions.dbUrl = options_.dbUrl;
            server_ = std::make_unique<appserver::AppServer>(serverOptions);
        }
        local_ = db::OpenConnection(options_.dbUrl);
    } else if (options_.serverUrl.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "pla-script-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw Exception("cannot create a temporary folder for the database");
        tempDir_ = pattern;
        std::string path = tempDir_ + "/scenario.db";
        std::unique_ptr<db::SqlConnection> conn;
        if (demo_) conn = store::CreateDemoDatabase(path);
        else conn = store::OpenDatabase("sqlite:" + path);
        server_ = std::make_unique<appserver::AppServer>(std::move(conn), serverOptions);
        local_ = db::OpenConnection("sqlite:" + path);
    } else {
        transcript_.Line("[note] no local database: run with --db to give the screen's queries one");
    }
    db::SetLocalConnection(local_);
}

db::SqlConnection* Driver::database() {
    makeDatabase();
    return local_.get();
}

void Driver::Sql(const std::string& statement) {
    auto* db = database();
    if (!db) throw Exception("sql needs a database (--db) when the server is given with --server");
    if (!isQuery(statement)) {
        db->Execute(statement);
        return;
    }
    auto r = db->Query(statement);
    std::string head;
    for (auto& c : r.columns) head += (head.empty() ? "" : " | ") + c.name;
    transcript_.Line("[sql] " + head);
    for (auto& row : r.rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) line += (i ? " | " : "") + VariantText(row[i]);
        transcript_.Line("[sql] " + line);
    }
}

std::optional<Variant> Driver::SqlValue(const std::string& query) {
    auto* db = database();
    if (!db) throw Exception("expect sql needs a database (--db) when the server is given with --server");
    auto r = db->Query(query);
    if (r.Empty() || r.rows[0].empty()) return std::nullopt;
    return r.rows[0][0];
}

void Driver::SignOn(const SignOnArgs& args) {
    auto* db = database();
    std::string op = text::Upper(text::Trim(args.operatorCode));
    std::string password = args.password ? *args.password : text::Lower(op);
    // An empty database of our own has nobody to sign on as: the operator named
    // is let in with the password given.
    if (db && !demo_ && options_.dbUrl.empty() &&
        db->Query("SELECT 1 FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", op}}).Empty()) {
        db->Execute("INSERT INTO OPERADOR (CDOPERADOR, NMOPERADOR, DSSENHA, CDFILIAL, IDATIVO) "
                    "VALUES (:O, :O, :S, NULL, 'S')",
                    {{"O", op}, {"S", store::HashPassword(password)}});
        transcript_.Line("[note] operator " + op + " added to the empty database");
    }

    TNetConnection conn("signon", "Session");
    conn.Host = EndpointHost();
    conn.SignOn(op, password);
    conn.Close();

    auto& ctx = Morvena::Context();
    ctx.Operador = op;
    ctx.FiliProc = text::Trim(args.branch);
    ctx.ModuFili = false;
    if (args.bound) {
        ctx.ModuFili = *args.bound;
    } else if (db) {
        auto r = db->Query("SELECT CDFILIAL FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", op}});
        ctx.ModuFili = !r.Empty() && text::Trim(r.rows[0][0].AsString()) == ctx.FiliProc;
    }
    if (db) {
        ctx.Filiais.clear();
        for (auto& row : db->Query("SELECT CDFILIAL, NMFILIAL FROM FILIAL").rows)
            ctx.Filiais[text::Trim(row[0].AsString())] = row[1].AsString();
    }
    ctx.DataProcFilial.clear();
    if (args.date) {
        TDateTime d = args.date->DateOnly();
        ctx.DataProcPadrao = d;
        if (db) {
            db->Execute("UPDATE DATAPROC SET DTPROCESSA = :D", {{"D", Variant(d)}});
            db->Execute("INSERT INTO DATAPROC (CDFILIAL, DTPROCESSA) SELECT CDFILIAL, :D FROM FILIAL "
                        "WHERE CDFILIAL NOT IN (SELECT CDFILIAL FROM DATAPROC)",
                        {{"D", Variant(d)}});
        } else {
            transcript_.Line("[note] the server's processing dates are left as they are (no --db)");
        }
        for (auto& [branch, name] : ctx.Filiais) ctx.DataProcFilial[branch] = d;
    } else if (db) {
        for (auto& row : db->Query("SELECT CDFILIAL, DTPROCESSA FROM DATAPROC").rows) {
            TDateTime d;
            if (db::ToDateTime(row[1], d)) ctx.DataProcFilial[text::Trim(row[0].AsString())] = d.DateOnly();
        }
    }
    signedOn_ = true;
}

void Driver::Open() {
    if (!module_) module_ = std::make_unique<ScreenModule>(options_.modulePath);
    // As the host does: an exception from the creation reaches the error box.
    Application().RunUserAction([this] { module_->IniProc(); });
}

}  // namespace script
