#include "ScreenFixture.h"

#include "AppServer.h"
#include "Cli_pla02010/FiltroRetirada.h"
#include "core/Text.h"
#include "db/LocalConnection.h"
#include "db/SqliteConnection.h"
#include "net/InProcessTransport.h"
#include "net/NetConnection.h"
#include "net/RpcProtocol.h"
#include "services/Consiste.h"


#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace screen_test {
namespace {

struct Env {
    appserver::EmbeddedServer embedded;
    std::shared_ptr<db::SqliteConnection> local;
    std::mutex mutex;
    std::map<std::string, int> calls;
    std::map<std::string, Variant> canned;  // answered once in place of the server
    std::set<std::string> lost;              // run by the server once, its answer lost

    static Env& Get() {
        static Env env;
        static bool started = [] {
            Env& e = env;
            auto dir = std::filesystem::temp_directory_path() / ("pla-screen-" + std::to_string(::getpid()));
            std::filesystem::create_directories(dir);
            const std::string path = (dir / "demo.db").string();
            std::filesystem::remove(path);
            appserver::EmbeddedOptions o;
            o.dbPath = path;
            o.http = false;
            o.inProcessName = "screen-server";
            o.log = appserver::NullLogSink();
            e.embedded = appserver::StartEmbedded(o);
            e.local = std::make_shared<db::SqliteConnection>(path);
            return true;
        }();
        (void)started;
        return env;
    }
};

// Takes the server down before the program's statics go, in an order that
// leaves nothing pointing at it.
class ScreenEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        Application().Reset();
        net::UnregisterInProcessServer("screen");
        db::SetLocalConnection(nullptr);
        Env& e = Env::Get();
        e.local.reset();
        e.embedded.server.reset();
    }
};
// Google Test owns the environment.
[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ScreenEnvironment);

void registerCounting() {
    Env& e = Env::Get();
    net::RpcHandler inner = e.embedded.server->Handler();
    net::RegisterInProcessServer("screen", [inner](const std::string& request, const std::string& token) {
        try {
            const net::RpcRequest call = net::DecodeRequest(request);
            std::string method = call.method;
            if (auto dot = method.rfind('.'); dot != std::string::npos) method = method.substr(dot + 1);
            Env& env = Env::Get();
            std::unique_lock lock(env.mutex);
            ++env.calls[method];
            if (auto it = env.canned.find(method); it != env.canned.end()) {
                net::RpcResult r{it->second, {}};
                env.canned.erase(it);
                return net::EncodeResult(call.id, r);
            }
            if (env.lost.erase(method) > 0) {
                lock.unlock();
                (void)inner(request, token);
                return net::EncodeError(call.id, -32603, "Conexão perdida com o servidor.");
            }
        } catch (...) {
        }
        return inner(request, token);
    });
}

void signOn() {
    static bool done = [] {
        TNetConnection s("session", "Session");
        s.Host = "inproc://screen";
        s.SignOn("DEMO", "demo");
        return true;
    }();
    (void)done;
}

}  // namespace

std::function<bool()> FiltroRetiradaHook;

int Calls(const std::string& method) {
    Env& e = Env::Get();
    std::lock_guard lock(e.mutex);
    auto it = e.calls.find(method);
    return it == e.calls.end() ? 0 : it->second;
}

void ResetCalls() {
    Env& e = Env::Get();
    std::lock_guard lock(e.mutex);
    e.calls.clear();
    e.canned.clear();
    e.lost.clear();
}

void AnswerOnce(const std::string& method, Variant value) {
    Env& e = Env::Get();
    std::lock_guard lock(e.mutex);
    e.canned[method] = std::move(value);
}

void LoseNextAnswer(const std::string& method) {
    Env& e = Env::Get();
    std::lock_guard lock(e.mutex);
    e.lost.insert(method);
}

std::string QueryText(const std::string& sql) {
    return Env::Get().embedded.server->WithDatabase([&](db::SqlConnection& c) {
        auto r = c.Query(sql);
        return r.Empty() || r.rows[0][0].IsNull() ? std::string("null") : text::Trim(r.rows[0][0].AsString());
    });
}

void Execute(const std::string& sql) {
    Env::Get().embedded.server->WithDatabase([&](db::SqlConnection& c) { return c.Execute(sql); });
}

bool ConfirmaFiltro(TfrmRetirada& f, TDateTime first, TDateTime last) {
    VariantArray args{Variant(f.Filial()), Variant(""), Variant("T"), Variant(first), Variant(last),
                      Variant(IncDay(first, -60)), Variant(IncDay(last, 60))};
    Variant r = Consiste::CheckResultServ(f.ChamaRetirada("GetRomaRetirada", args), true, 0);
    f.FiltroCarregado(TFiltroCarregado{first, last, r.AsArray()[0], r.AsArray()[1]});
    return true;
}

void ScreenTest::SetUp() {
    Env::Get();
    registerCounting();
    db::SetLocalConnection(Env::Get().local);
    Application().Reset();
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs_ = d.get();
    Application().SetDialogs(std::move(d));
    Application().SetScreenSize(1024, 768);
    Application().SetMainClientHeight(700);
    main_ = Application().CreateForm<TForm>("frmPrincipal");
    main_->Show();
    Morvena::ResetContext();
    Morvena::UserContext& c = Morvena::Context();
    c.FiliProc = "0001";
    c.Operador = "DEMO";
    c.WebURL = "inproc://screen";
    c.WebPort = 0;
    auto branches = Env::Get().local->Query("SELECT CDFILIAL, NMFILIAL FROM FILIAL");
    for (const auto& row : branches.rows) c.Filiais[row[0].AsString()] = row[1].AsString();
    signOn();
    FiltroRetiradaHook = nullptr;
    ResetCalls();
}

void ScreenTest::TearDown() {
    Application().Reset();
    ResetPla02000Unit();
    Morvena::ResetContext();
    FiltroRetiradaHook = nullptr;
}

TfrmRetirada* ScreenTest::Open() {
    CriaRetirada();
    Application().ProcessMessages();
    TfrmRetirada* f = frmRetirada();
    // The frame's tests play the browse filter dialog; the dialog's own tests keep the real one.
    if (f && playFilterDialog_) f->AbreFiltroRetirada = [] { return FiltroRetiradaHook ? FiltroRetiradaHook() : false; };
    return f;
}

TfrmRetirada* ScreenTest::OpenWithList(int firstDay, int lastDay) {
    TfrmRetirada* f = Open();
    if (!f) return nullptr;
    const TDateTime today = Date();
    FiltroRetiradaHook = [=] { return ConfirmaFiltro(*f, IncDay(today, firstDay), IncDay(today, lastDay)); };
    f->medCdFilial->UserSetFocus();
    f->medCdFilial->UserKeyDown(VK_TAB);
    return f;
}

}  // namespace screen_test
