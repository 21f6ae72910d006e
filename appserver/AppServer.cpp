#include "AppServer.h"

#include "modules/Modules.h"
#include "net/InProcessTransport.h"
#include "store/Database.h"

namespace appserver {

AppServer::AppServer(AppServerOptions options) : conn_(store::OpenDatabase(options.dbUrl)) { build(options); }

AppServer::AppServer(std::unique_ptr<db::SqlConnection> conn, AppServerOptions options) : conn_(std::move(conn)) {
    if (!conn_) throw Exception("AppServer needs a database connection");
    build(options);
}

void AppServer::build(AppServerOptions& options) {
    sessions_ = std::make_unique<SessionStore>(options.sessionIdleLimit, options.clock);
    dispatcher_ = std::make_unique<Dispatcher>([this](const std::function<void()>& body) {
        std::lock_guard lock(dbMutex_);
        db::Transaction tx(*conn_);
        body();
        tx.Commit();
    });
    RegisterModules(*dispatcher_, *conn_, *sessions_);
    service_ = std::make_unique<RpcService>(*dispatcher_, *sessions_, options.log ? options.log : StderrLogSink());
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
    net::RegisterInProcessServer(name, service_->Handler());
    inProcessName_ = name;
    return std::string(net::kInProcessScheme) + name;
}

net::RpcHandler AppServer::Handler() const { return service_->Handler(); }

}  // namespace appserver
