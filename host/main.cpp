// pla-host: the desktop host. Starts (or reaches) the application server,
// opens the lookups database, signs the operator on and shows the main
// window whose menu opens the withdrawal screen.
#include "EmbeddedServer.h"
#include "net/HttpTransport.h"
#include "HostOptions.h"
#include "MainWindow.h"
#include "ScreenModule.h"
#include "SignOn.h"
#include "SignOnDialog.h"
#include "core/Exception.h"
#include "Smoke.h"
#include "db/ConnectionUrl.h"
#include "db/LocalConnection.h"
#include "qtview/QtDialogs.h"
#include "qtview/ViewManager.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <filesystem>
#include <memory>

int main(int argc, char** argv) {
    host::HostOptions options;
    int exitCode = 0;
    if (!host::ParseHostOptions(argc, argv, options, exitCode)) return exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName("pla-host");
    QApplication::setApplicationDisplayName("Planejamento");

    std::unique_ptr<host::EmbeddedServer> server;
    host::ServerAddress address;
    std::string lookupsUrl = options.Db;
    try {
        if (options.Embedded) {
            std::string dir = options.DataDir.empty() ? host::DefaultDataDir() : options.DataDir;
            std::filesystem::create_directories(dir);
            server = std::make_unique<host::EmbeddedServer>((std::filesystem::path(dir) / "demo.db").string());
            address = {"127.0.0.1", server->Port()};
            if (lookupsUrl.empty()) lookupsUrl = "sqlite:" + server->DbPath();
        } else {
            address = host::ParseServerUrl(options.Server);
            if (!options.CaFile.empty()) net::SetTrustedCaFile(options.CaFile);
            if (lookupsUrl.empty()) throw Exception("Com --server, informe também o banco das consultas com --db.");
        }
        db::SetLocalConnection(std::shared_ptr<db::SqlConnection>(db::OpenConnection(lookupsUrl)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pla-host: %s\n", e.what());
        if (!options.Smoke) QMessageBox::critical(nullptr, "Planejamento", QString::fromStdString(e.what()));
        return 1;
    }

    // The toolkit's main form stands for this window, as the suite's main form does.
    TForm* mainForm = Application().CreateForm<TForm>("frmPrincipal");
    mainForm->SetFormStyle(TFormStyle::fsMDIForm);
    mainForm->SetCaption("Planejamento");

    host::ScreenModule module(host::ScreenModule::DefaultPath());
    int result = 0;
    {
        host::MainWindow window(module);
        qtview::ViewManager views(window.Mdi(), &window);
        views.InstallInputPump();
        Application().SetDialogs(std::make_unique<qtview::QtDialogs>(&window));
        window.show();

        auto signOn = [&](const host::SignOnRequest& req) {
            return host::SignOn(address, req, *db::RequireLocalConnection());
        };
        if (options.Smoke) {
            host::StartSmoke(window, {[&] { return signOn({"DEMO", "demo", "0001"}); }, options.Screenshot});
        } else {
            host::SignOnDialog dlg(signOn, &window);
            if (dlg.exec() != QDialog::Accepted) {
                Application().Reset();
                return 0;
            }
            window.ShowSignedOn(dlg.Result());
        }
        result = app.exec();
        // The screens go while their windows and the server still exist.
        Application().Reset();
    }
    db::SetLocalConnection(nullptr);
    return result;
}
