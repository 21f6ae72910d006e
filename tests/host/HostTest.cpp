// The host's own parts: server addresses, signing on against an embedded
// server over the demo database, the sign-on dialog, and the package loader.
#include "EmbeddedServer.h"
#include "ScreenModule.h"
#include "SignOn.h"
#include "SignOnDialog.h"
#include "core/Exception.h"
#include "db/ConnectionUrl.h"
#include "services/Morvena.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// Runs fn and returns the text of the Exception it throws ("" when none).
template <class F>
std::string failureOf(F&& fn) {
    try {
        fn();
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

}  // namespace

class HostTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<host::EmbeddedServer> server;
    std::unique_ptr<db::SqlConnection> lookups;
    host::ServerAddress address;

private slots:
    void initTestCase() {
        server = std::make_unique<host::EmbeddedServer>(dir.filePath("demo.db").toStdString());
        QVERIFY(server->Port() > 0);
        lookups = db::OpenConnection("sqlite:" + server->DbPath());
        address = {"127.0.0.1", server->Port()};
    }
    void cleanupTestCase() {
        lookups.reset();
        server.reset();
        Morvena::ResetContext();
    }

    void serverAddresses() {
        auto a = host::ParseServerUrl("http://servidor:8211");
        QCOMPARE(a.Host, std::string("http://servidor"));
        QCOMPARE(a.Port, 8211);
        a = host::ParseServerUrl(" 10.0.0.5:80/ ");
        QCOMPARE(a.Host, std::string("10.0.0.5"));
        QCOMPARE(a.Port, 80);
        QCOMPARE(host::ParseServerUrl("inproc://embedded").Host, std::string("inproc://embedded"));
        for (const char* bad : {"servidor", "http://servidor", "http://servidor:porta", "http://servidor:70000", ":80",
                                "http://servidor:80x"})
            QVERIFY2(!failureOf([&] { host::ParseServerUrl(bad); }).empty(), bad);
    }

    void signOnFillsTheUserContext() {
        auto r = host::SignOn(address, {"demo", "demo", "0002"}, *lookups);
        QCOMPARE(r.Operator, std::string("DEMO"));  // codes compare in upper case
        QCOMPARE(r.BranchName, std::string("FILIAL NORTE"));
        QVERIFY(!r.BoundToBranch);
        auto& ctx = Morvena::Context();
        QCOMPARE(ctx.FiliProc, std::string("0002"));
        QCOMPARE(ctx.WebPort, server->Port());
        QCOMPARE(ctx.Filiais.count("0001"), size_t(1));
        QCOMPARE(r.DataProc, Date());  // the demo's processing dates are today
        QCOMPARE(Morvena::DataProc("0001"), Date());
    }

    void signOnRefusals() {
        const std::pair<host::SignOnRequest, std::string> refused[] = {
            {{"DEMO", "errada", "0001"}, "Operador ou senha inválidos."},
            {{"NINGUEM", "x", "0001"}, "Operador ou senha inválidos."},
            {{"", "demo", "0001"}, "Operador deve ser informado."},
            {{"DEMO", "demo", ""}, "Filial deve ser informada."},
            {{"DEMO", "demo", "9999"}, "Filial não cadastrada."},
        };
        for (const auto& [request, why] : refused)
            QCOMPARE(failureOf([&] { host::SignOn(address, request, *lookups); }), why);
        // An operator bound to a branch works there only, and needs not type it.
        QVERIFY(!failureOf([&] { host::SignOn(address, {"ANA", "ana", "0002"}, *lookups); }).empty());
        auto r = host::SignOn(address, {"ana", "ana", ""}, *lookups);
        QCOMPARE(r.Branch, std::string("0001"));
        QVERIFY(r.BoundToBranch);
        QVERIFY(Morvena::ModuFili());
        // A server that is not there says so.
        QVERIFY(!failureOf([&] { host::SignOn({"127.0.0.1", 1}, {"DEMO", "demo", "0001"}, *lookups); }).empty());
    }

    void signOnDialogKeepsWhatWasTyped() {
        int attempts = 0;
        host::SignOnDialog dlg(
            [&](const host::SignOnRequest& req) {
                ++attempts;
                return host::SignOn(address, req, *lookups);
            },
            nullptr);
        dlg.OperatorEdit()->setText("DEMO");
        dlg.PasswordEdit()->setText("errada");
        dlg.BranchEdit()->setText("0001");
        dlg.accept();
        QCOMPARE(attempts, 1);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));  // still open
        QCOMPARE(dlg.ErrorLabel()->text(), QString("Operador ou senha inválidos."));
        QCOMPARE(dlg.OperatorEdit()->text(), QString("DEMO"));
        QCOMPARE(dlg.BranchEdit()->text(), QString("0001"));
        dlg.PasswordEdit()->setText("demo");
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Result().Branch, std::string("0001"));
        QVERIFY(dlg.ErrorLabel()->text().isEmpty());
    }

    void embeddedDatabaseIsKeptBetweenRuns() {
        // A second server over the same file finds the data of the first.
        auto before = lookups->Query("SELECT COUNT(*) FROM FILIAL").rows[0][0].AsInteger();
        host::EmbeddedServer again(server->DbPath());
        QVERIFY(again.Port() != server->Port());
        QCOMPARE(lookups->Query("SELECT COUNT(*) FROM FILIAL").rows[0][0].AsInteger(), before);
    }

    void missingPackageIsNamed() {
        host::ScreenModule module(dir.filePath("libnada.so").toStdString());
        std::string why = failureOf([&] { module.IniProc(); });
        QVERIFY(why.find("libnada.so") != std::string::npos);
        QVERIFY(!module.Loaded());
        QVERIFY(host::ScreenModule::DefaultPath().find("/lib/libpla02000.so") != std::string::npos);
    }
};

QTEST_MAIN(HostTest)
#include "HostTest.moc"
