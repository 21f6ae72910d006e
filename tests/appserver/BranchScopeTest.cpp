// Branch scoping and rights on the server: an operator bound to a branch is
// refused every other branch on every method that takes one, whatever the
// client asks; writing methods check rights themselves.
#include "TestDatabase.h"
#include "AppServer.h"
#include "net/RpcProtocol.h"
#include "store/Database.h"
#include "store/DemoData.h"

#include <gtest/gtest.h>

#include <memory>

using namespace appserver;
namespace demo = store::demo;

namespace {

struct Scoped {
    std::vector<std::string> log;
    std::unique_ptr<AppServer> app;
    Scoped() {
        AppServerOptions o;
        o.log = [this](const std::string& line) { log.push_back(line); };
        app = std::make_unique<AppServer>(testdb::Demo(), o);
    }
    static Scoped& Get() {
        static Scoped s;
        return s;
    }
    std::string token(const std::string& op) {
        return app->WithDatabase([&](db::SqlConnection& c) { return app->Sessions().Open(c, op).token; });
    }

    // The method's answer; ERpcError for an error answer.
    net::RpcResult call(const std::string& op, const std::string& method, const VariantArray& args) {
        return net::DecodeResponse(app->Service().Handle(net::EncodeRequest(1, method, args), token(op)).body);
    }
    // The error code of the answer, 0 when it was not an error.
    int errorCode(const std::string& op, const std::string& method, const VariantArray& args) {
        try {
            call(op, method, args);
        } catch (const net::ERpcError& e) {
            return e.Code();
        }
        return 0;
    }
};

// Arguments for a call of def: the given branch in argument i, the own
// branch of the bound operators in the other branch arguments, nulls elsewhere
// (branches are checked before the method looks at the rest).
VariantArray argsWithBranch(const MethodDef& def, size_t i, const std::string& branch) {
    VariantArray a(def.args.size());
    for (size_t k = 0; k < def.args.size(); ++k)
        if (def.args[k].branch) a[k] = Variant(demo::kBranchLocations);
    a[i] = Variant(branch);
    return a;
}

struct BranchArg {
    std::string method;
    size_t index;
};

std::vector<BranchArg> branchArguments(const Dispatcher& d) {
    std::vector<BranchArg> out;
    for (const auto& name : d.MethodNames()) {
        const MethodDef* def = d.Find(name);
        for (size_t i = 0; i < def->args.size(); ++i)
            if (def->args[i].branch) out.push_back({name, i});
    }
    return out;
}

}  // namespace

TEST(BranchScope, ABoundOperatorIsRefusedOtherBranchesOnEveryMethod) {
    Scoped& s = Scoped::Get();
    const auto args = branchArguments(s.app->Methods());
    ASSERT_GE(args.size(), 15u);  // the table is read from the server, not written here
    for (const auto& [method, i] : args) {
        const MethodDef& def = *s.app->Methods().Find(method);
        SCOPED_TRACE(method + " argument " + std::to_string(i));
        // ANA is bound to 0001: 0002 and an unknown or blank branch are refused.
        for (const char* other : {demo::kBranchPlain, "9999", ""})
            EXPECT_EQ(s.errorCode(demo::kOperatorAllRights, method, argsWithBranch(def, i, other)),
                      net::rpc_code::BranchForbidden)
                << "branch '" << other << "'";
        // Her own branch, padded as the client may send it, gets past the check.
        EXPECT_NE(s.errorCode(demo::kOperatorAllRights, method, argsWithBranch(def, i, " 0001 ")),
                  net::rpc_code::BranchForbidden);
        // An operator bound to no branch reaches every branch.
        EXPECT_NE(s.errorCode(demo::kOperator, method, argsWithBranch(def, i, demo::kBranchPlain)),
                  net::rpc_code::BranchForbidden);
    }
}

TEST(BranchScope, EveryBranchArgumentIsMarked) {
    // A new method that takes a branch under its usual names is checked like the others.
    Scoped& s = Scoped::Get();
    for (const auto& name : s.app->Methods().MethodNames()) {
        const MethodDef* def = s.app->Methods().Find(name);
        for (const auto& a : def->args)
            if (a.name == "CDFILIAL" || a.name == "CDFILIMOVI" || a.name == "CDFILANCESTQ" || a.name == "CDFIITLANEST") {
                EXPECT_TRUE(a.branch) << name << " " << a.name;
            }
    }
}

TEST(BranchScope, RefusalsAreLoggedAndCarryTheOperatorAndBranch) {
    Scoped& s = Scoped::Get();
    s.log.clear();
    try {
        s.call(demo::kOperatorAlterOnly, "Pla02000.rdmRetirada.GetParamFilial", {Variant("0001")});
        FAIL() << "CARLA (bound to 0002) read 0001";
    } catch (const net::ERpcError& e) {
        EXPECT_EQ(e.Code(), net::rpc_code::BranchForbidden);
        EXPECT_NE(e.Message().find("CARLA"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("0001"), std::string::npos) << e.Message();
    }
    ASSERT_FALSE(s.log.empty());
    EXPECT_NE(s.log.back().find("-32002"), std::string::npos) << s.log.back();
    EXPECT_NE(s.log.back().find("CARLA"), std::string::npos) << s.log.back();
    // Her own branch answers.
    EXPECT_TRUE(s.call(demo::kOperatorAlterOnly, "Pla02000.rdmRetirada.GetParamFilial", {Variant("0002")}).value.IsPacket());
}

TEST(BranchScope, AMethodWithABranchIsRefusedWithoutACheckInstalled) {
    Dispatcher d;
    d.Register("M", {"F", {{"CDFILIAL", ArgType::String, false, true, true}}, [](CallContext&, VariantArray&) {
                         return Variant(true);
                     }});
    CallContext ctx;
    ctx.Operator = "X";
    try {
        d.Invoke(*d.Find("M.F"), {Variant("0001")}, ctx);
        FAIL() << "ran without a branch check";
    } catch (const net::ERpcError& e) {
        EXPECT_EQ(e.Code(), net::rpc_code::InternalError);
    }
}

TEST(ServerRights, GravaLiberacaoChecksTheRightItselfAndWritesOnlyWithIt) {
    Scoped s;  // its own server: the test takes a right away
    const TDateTime closedDay = IncDay(Date(), -3);
    auto releases = [&](const std::string& op) {
        return s.app->WithDatabase([&](db::SqlConnection& c) {
            return c.Query("SELECT 1 FROM LIBERACAO WHERE CDOPERADOR = :O AND DTLIBERADA = :D", {{"O", op}, {"D", closedDay}})
                .rows.size();
        });
    };
    // BRUNO (0001, no right) asks nobody first, as a hostile client would: refused, nothing written.
    Variant refused =
        s.call(demo::kOperatorNoRights, "Est00000.rdmEstoque.GravaLiberacao", {Variant("0001"), Variant(closedDay)}).value;
    ASSERT_TRUE(refused.IsString());
    EXPECT_NE(refused.AsString().find("sem direito"), std::string::npos) << refused.AsString();
    EXPECT_EQ(releases(demo::kOperatorNoRights), 0u);
    // DEMO holds it.
    EXPECT_EQ(s.call(demo::kOperator, "Est00000.rdmEstoque.GravaLiberacao", {Variant("0001"), Variant(closedDay)}).value,
              Variant(true));
    EXPECT_EQ(releases(demo::kOperator), 1u);
    // A right withdrawn after sign-on counts at once.
    s.app->WithDatabase([](db::SqlConnection& c) {
        c.Execute("DELETE FROM OPERDIREITO WHERE CDOPERADOR = :O AND CDDIREITO = 'LIBERACAO_DATA'", {{"O", demo::kOperator}});
        return 0;
    });
    EXPECT_TRUE(s.call(demo::kOperator, "Est00000.rdmEstoque.GravaLiberacao", {Variant("0001"), Variant(IncDay(closedDay, -1))})
                    .value.IsString());
}
