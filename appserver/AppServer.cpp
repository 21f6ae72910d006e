#include "AppServer.h"

#include "modules/Modules.h"
#include "net/InProcessTransport.h"
#include "net/RpcProtocol.h"
#include "store/Database.h"

#include <algorithm>
#include <filesystem>

namespace appserver {

AppServer::AppServer(AppServerOptions options)
    : pool_(store::OpenPool(options.dbUrl, options.connections ? options.connections
                                                               : std::max<size_t>(1, options.http.threads))) {
    build(options);
}

AppServer::AppServer(std::unique_ptr<db::SqlConnection> conn, AppServerOptions options) {
    if (!conn) throw Exception("AppServer needs a database connection");
    pool_ = std::make_unique<db::ConnectionPool>(std::move(conn));
    build(options);
}

void AppServer::build(AppServerOptions& options) {
    sessions_ = std::make_unique<SessionStore>(options.sessionIdleLimit, options.clock, runner_.Runner());
    dispatcher_ = std::make_unique<Dispatcher>(runner_.Runner());
    throttle_ = std::make_unique<SignOnThrottle>(options.signOn, options.clock);
    RegisterModules(*dispatcher_, *sessions_, *throttle_);
    if (options.extraModules) options.extraModules(*dispatcher_);
    service_ = std::make_shared<RpcService>(*dispatcher_, *sessions_, *pool_, options.log ? options.log : StderrLogSink(),
                                            options.logFormat);
    httpOptions_ = options.http;
}

AppServer::~AppServer() {
    Stop();
    if (!inProcessName_.empty()) net::UnregisterInProcessServer(inProcessName_);
}

int AppServer::Listen(const std::string& host, int port) {
    if (http_) throw Exception("The application server is already listening on port " + std::to_string(http_->Port()));
    auto http = std::make_unique<HttpServer>(*service_, httpOptions_);
    int bound = http->Bind(host, port);
    http->Start();
    http_ = std::move(http);
    return bound;
}

void AppServer::Serve(const std::string& host, int port) {
    if (http_) throw Exception("The application server is already listening");
    http_ = std::make_unique<HttpServer>(*service_, httpOptions_);
    http_->Bind(host, port);
    http_->Run();
}

void AppServer::Stop() {
    if (http_) http_->Stop();
}

std::string AppServer::RegisterInProcess(const std::string& name) {
    if (!inProcessName_.empty() && inProcessName_ != name) net::UnregisterInProcessServer(inProcessName_);
    net::RegisterInProcessServer(name, Handler());
    inProcessName_ = name;
    return std::string(net::kInProcessScheme) + name;
}

net::RpcHandler AppServer::Handler() const {
    // A connection may outlive the server it found; it then gets an error, not a dangling call.
    std::weak_ptr<RpcService> weak = service_;
    return [weak](const std::string& request, const std::string& token) {
        if (auto s = weak.lock()) return s->Handle(request, RequestOrigin{token, "inproc"}).body;
        return net::EncodeError({}, net::rpc_code::InternalError, "O servidor de aplicação foi encerrado.");
    };
}

EmbeddedServer StartEmbedded(const EmbeddedOptions& options) {
    std::unique_ptr<db::SqlConnection> conn;
    bool fresh = options.dbPath == ":memory:" || !std::filesystem::exists(options.dbPath);
    if (fresh)
        conn = store::CreateDemoDatabase(options.dbPath);
    else
        conn = store::OpenDatabase("sqlite:" + options.dbPath);
    AppServerOptions o;
    o.log = options.log;
    EmbeddedServer e;
    e.server = std::make_unique<AppServer>(std::move(conn), o);
    e.host = e.server->RegisterInProcess(options.inProcessName);
    if (options.http) {
        e.port = e.server->Listen("127.0.0.1", 0);
        e.host = "127.0.0.1";
    }
    return e;
}

}  // namespace appserver
