#pragma once
// The world a scenario runs in: a database (fresh demo or empty copy in a
// temporary folder, or the one given with --db), the application server (in
// process over that database, or a running one given with --server), the
// signed-on user context, the client's local connection for its queries, the
// scripted dialog service, the screen loader that only reports, the call
// counter, and the screen module. One Driver per process: it installs
// process-wide state (the Application, the user context) and resets it when
// destroyed.
#include "CallCounter.h"
#include "Module.h"
#include "Transcript.h"

#include "db/SqlConnection.h"
#include "ui/ScriptedDialogs.h"

#include <memory>
#include <optional>
#include <string>

namespace appserver {
class AppServer;
}

namespace script {

struct DriverOptions {
    std::string modulePath;  // the screen package; empty = DefaultModulePath()
    std::string dbUrl;       // "sqlite:PATH" to use instead of a fresh database
    std::string serverUrl;   // "http://host:port" of a running server instead of one in process
};

struct SignOnArgs {
    std::string operatorCode, branch;
    std::optional<std::string> password;  // default: the operator code in lower case
    std::optional<TDateTime> date;        // processing date of every branch
    std::optional<bool> bound;            // default: the operator's own branch is this one
};

class Driver {
public:
    // Installs the dialog service, the screen loader and the counting endpoint.
    Driver(DriverOptions options, Transcript& transcript);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Each throws Exception with a text for the user when it cannot be done.
    // Chooses the fresh database's contents; only before the database is made.
    void SetDatabaseMode(bool demo);
    bool DatabaseMade() const { return databaseMade_; }
    // Runs one statement on the scenario's database; a query prints its rows.
    void Sql(const std::string& statement);
    // The first column of the first row of a query on that database; nothing
    // when it returns no row. Throws Exception when the statement fails.
    std::optional<Variant> SqlValue(const std::string& query);
    void SignOn(const SignOnArgs& args);
    bool SignedOn() const { return signedOn_; }
    // Loads the module and calls IniProc as the host does (its exceptions reach
    // the error box); ScreenModule's load errors propagate.
    void Open();
    bool Opened() const { return module_ != nullptr; }
    // Screens opened by code are loaded for real (their forms then take the
    // input), not only written in the transcript.
    void SetOpenScreens(bool on) { openScreens_ = on; }

    CallCounter& Calls() { return calls_; }
    ScriptedDialogs& Dialogs() { return *dialogs_; }
    const ScreenModule* Module() const { return module_.get(); }

    // Host text of the counting endpoint ("inproc://pla-script").
    static std::string EndpointHost();

private:
    bool openScreens_ = false;
    void makeDatabase();
    db::SqlConnection* database();  // null with --server and no --db

    DriverOptions options_;
    Transcript& transcript_;
    CallCounter calls_;
    ScriptedDialogs* dialogs_ = nullptr;  // owned by the Application
    bool demo_ = true;
    bool databaseMade_ = false;
    bool signedOn_ = false;
    std::string tempDir_;
    std::shared_ptr<db::SqlConnection> local_;
    std::unique_ptr<appserver::AppServer> server_;
    std::unique_ptr<ScreenModule> module_;
};

// A variant as the transcript shows it: null, true/false, dates dd/mm/yyyy,
// numbers with the system separator, arrays as [a, b].
std::string VariantText(const Variant& v);

}  // namespace script
