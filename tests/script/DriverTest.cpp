// pla-script run as users run it, on the test form: each command and
// expectation, a failing expectation, malformed lines, unexpected dialogs,
// modal forms, remote-call counts, and the database set-up.
#include "AppServer.h"
#include "store/Database.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

std::string scenarioFile(const std::string& text) {
    static int n = 0;
    auto path = std::filesystem::temp_directory_path() /
                ("pla-script-test-" + std::to_string(getpid()) + "-" + std::to_string(++n) + ".scn");
    std::ofstream(path) << text;
    return path.string();
}

Outcome runCommand(const std::string& command) {
    Outcome o;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return o;
    std::array<char, 4096> buf{};
    size_t got;
    while ((got = fread(buf.data(), 1, buf.size(), p)) > 0) o.out.append(buf.data(), got);
    int st = pclose(p);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return o;
}

std::string base() { return std::string(PLA_SCRIPT_BIN) + " --module " + PLA_TEST_MODULE; }

Outcome run(const std::string& text) {
    std::string file = scenarioFile(text);
    Outcome o = runCommand(base() + " " + file);
    std::filesystem::remove(file);
    return o;
}

const std::string kOpen = "signon operator=DEMO branch=0001\nopen\n";

}  // namespace

// Typing, keys, focus, pages and most properties run in every scenario of
// the screen; these are the commands and properties they never use.
TEST(ScriptDriver, ClipboardCheckedAndMenuProperties) {
    auto o = run(kOpen + R"(
paste "colado"
key Ctrl+V
expect edtNome.text = colado
click rdbDois
expect rdbUm.checked = false
expect rdbDois.checked = true
expect mnuBloqueado.enabled = false
expect mnuSalvar.caption = Salvar
key Ctrl+S
expect message "Salvo."
close
expect frmTeste.visible = false
)");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find("  [info] Salvo."), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("7 passed, 0 failed"), std::string::npos) << o.out;
}

TEST(ScriptDriver, GridsAndDatasetsReadAsTheUserSeesThem) {
    auto o = run(kOpen + R"(
expect dbgItens.columns = 3
expect cdsItens.DATA = 01/03/2026
expect cdsItens.ATIVO = true
row dbgItens next
expect cdsItens.DATA = null
row dbgItens 1
row dbgItens prior
expect cdsItens.state = browse
expect cdsItens.count = 3
expect cdsItens.filter = ""
expect cdsTipos.state = inactive
set decimal .
expect cdsItens.QTDE = "1,234.50"
dump cdsItens
)");
    // "row prior" on the first row fails without stopping the scenario.
    EXPECT_EQ(o.status, 1) << o.out;
    EXPECT_NE(o.out.find("FAILED line 10: row dbgItens prior (found: the grid shows 3 row(s), the current one is 1)"),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("[dump] cdsItens: 3 row(s)"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("> A1 | 1,234.50 | 01/03/2026 | True"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("9 passed, 1 failed"), std::string::npos) << o.out;
}

TEST(ScriptDriver, AFailingExpectationShowsLineAndWhatWasFound) {
    auto o = run(kOpen + "type \"Ana\"\nexpect edtNome.text = \"Beatriz\"\nexpect edtNome.text = Ana\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("FAILED line 4: expect edtNome.text = \"Beatriz\" (found: \"Ana\")"), std::string::npos)
        << o.out;
    // The run goes on after a failed expectation.
    EXPECT_NE(o.out.find("1 passed, 1 failed"), std::string::npos) << o.out;
}

TEST(ScriptDriver, MalformedScenariosExitTwoNamingTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {kOpen + "hover btnOk\n", "line 3: unknown command hover"},
        {kOpen + "click btnNada\n", "line 3: no control named btnNada"},
        {kOpen + "expect cdsItens.PRECO = 1\n", "line 3: dataset cdsItens has no field PRECO"},
        {kOpen + "expect unit.boNada = true\n", ""},
        {"signon operator=DEMO branch=0001\nclick btnOk\n", "no form has the input"},
        {"open\n", ""},
        {"signon operator=DEMO branch=0001 password=errada\nopen\n", "Operador ou senha inválidos."},
    };
    for (const auto& [scenario, why] : cases) {
        auto o = run(scenario);
        EXPECT_EQ(o.status, 2) << scenario << o.out;
        EXPECT_NE(o.out.find(why), std::string::npos) << o.out;
    }
    // Caught before anything runs: the screen never opened.
    EXPECT_EQ(run(kOpen + "hover btnOk\n").out.find("signon"), std::string::npos);
    auto badModule = runCommand(std::string(PLA_SCRIPT_BIN) + " --module /nonexistent/libx.so " +
                                scenarioFile(kOpen));
    EXPECT_EQ(badModule.status, 2);
    EXPECT_NE(badModule.out.find("cannot load the screen module /nonexistent/libx.so"), std::string::npos)
        << badModule.out;
}

TEST(ScriptDriver, DialogsTakeQueuedAnswersAndAnUnexpectedOneStopsTheRun) {
    auto o = run(kOpen + R"(
answer no
click btnMensagem
expect message "Confirma operação?"
expect unit.stResposta = "não"
answer 2
click btnOpcoes
expect message ~"[Um] primeira\n[Dois] segunda"
expect unit.inOpcao = 11
click btnErro
expect message "Falha de teste."
expect unit.inCliques = 3
expect unit.boAberto = true
pick 3
click btnLista
expect cdsItens.CODIGO = C3
pick none
click btnLista
expect cdsItens.CODIGO = C3
)");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find("  [confirm] Confirma operação?"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("  [options] Escolha uma opção:"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("[Dois] segunda | Um | Dois | Três"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("  [error] Falha de teste."), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("  [list] Itens"), std::string::npos) << o.out;

    auto unexpected = run(kOpen + "click btnMensagem\nexpect unit.stResposta = sim\n");
    EXPECT_EQ(unexpected.status, 1);
    EXPECT_NE(unexpected.out.find("FAILED line 3: unexpected dialog"), std::string::npos) << unexpected.out;
    EXPECT_NE(unexpected.out.find("Confirma operação?"), std::string::npos) << unexpected.out;
    EXPECT_EQ(unexpected.out.find("expect unit.stResposta"), std::string::npos) << unexpected.out;

    auto leftOver = run(kOpen + "answer yes\n");
    EXPECT_EQ(leftOver.status, 1);
    EXPECT_NE(leftOver.out.find("answers queued for dialogs that never came (found: 1)"), std::string::npos)
        << leftOver.out;

    auto wrongKind = run(kOpen + "answer 1\nclick btnMensagem\n");
    EXPECT_EQ(wrongKind.status, 1) << wrongKind.out;

    // An OK box takes the answer at the head of the queue: `answer ok` keeps
    // the `yes` for the confirmation that follows.
    auto okFirst = run(kOpen + "answer ok\nanswer yes\nkey Ctrl+S\nclick btnMensagem\nexpect unit.stResposta = sim\n"
                               "expect message \"Salvo.\"\nexpect message \"Confirma operação?\"\n");
    EXPECT_EQ(okFirst.status, 0) << okFirst.out;
    auto yesTakenByOk = run(kOpen + "answer yes\nkey Ctrl+S\n");
    EXPECT_EQ(yesTakenByOk.status, 1) << yesTakenByOk.out;
}

TEST(ScriptDriver, LinesAfterAModalFormActOnItUntilItCloses) {
    auto o = run(kOpen + R"(
click btnDialogo
expect form = frmDialogo
expect focus = edtFiltro
type "B2"
click edtNome
key Enter
expect form = frmTeste
expect unit.inResultado = 1
expect cdsItens.count = 1
expect cdsItens.filter = "CODIGO = 'B2'"
expect frmTeste.cdsItens.CODIGO = B2
)");
    // edtNome lies under the modal form: the user cannot reach it.
    EXPECT_EQ(o.status, 2) << o.out;
    EXPECT_NE(o.out.find("line 8: no control named edtNome where the user is (frmDialogo)"), std::string::npos)
        << o.out;

    auto escaped = run(kOpen + "click btnDialogo\nkey Escape\nexpect unit.inResultado = 2\n");
    EXPECT_EQ(escaped.status, 0) << escaped.out;

    auto leftOpen = run(kOpen + "click btnDialogo\ntype \"x\"\n");
    EXPECT_EQ(leftOpen.status, 1);
    EXPECT_NE(leftOpen.out.find("frmDialogo"), std::string::npos) << leftOpen.out;
}

TEST(ScriptDriver, RemoteCallsLocalQueriesAndOtherScreens) {
    auto o = run(R"(
database demo
sql "UPDATE FILIAL SET NMFILIAL = 'FILIAL DE TESTE' WHERE CDFILIAL = '0001'"
signon operator=DEMO branch=0001 date=10/03/2026
sql "SELECT CDFILIAL, DTPROCESSA FROM DATAPROC WHERE CDFILIAL = '0002'"
open
click btnFilial
expect lblFilial.caption = "FILIAL DE TESTE"
click btnTipos
click btnTipos
expect calls GetTipoReti = 2
expect calls Pla02000.rdmRetirada.GetTipoReti = 2
click btnAbrir
)");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find("[sql] 0002 | 10/03/2026"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("  [open-screen] PLA02100 M"), std::string::npos) << o.out;

    auto empty = run(R"(
database empty
signon operator=TESTE branch=0001 password=segredo
open
click btnTipos
expect cdsTipos.count = 0
)");
    EXPECT_EQ(empty.status, 0) << empty.out;
    EXPECT_NE(empty.out.find("operator TESTE added to the empty database"), std::string::npos) << empty.out;
}

TEST(ScriptDriver, AMessageNeverExpectedFailsTheRunUnlessLenient) {
    const std::string scenario = kOpen + "key Ctrl+S\nclick btnErro\nexpect message \"Salvo.\"\n";
    auto strict = run(scenario);
    EXPECT_EQ(strict.status, 1) << strict.out;
    EXPECT_NE(strict.out.find("FAILED line 5: 1 message(s) shown and never expected (found: \"Falha de teste.\")"),
              std::string::npos)
        << strict.out;

    std::string file = scenarioFile(scenario);
    auto lenient = runCommand(base() + " --lenient " + file);
    std::filesystem::remove(file);
    EXPECT_EQ(lenient.status, 0) << lenient.out;
    EXPECT_NE(lenient.out.find("[note] 1 message(s) shown and never expected: \"Falha de teste.\""),
              std::string::npos)
        << lenient.out;
}

TEST(ScriptDriver, CellsReadWithoutMovingTheCursor) {
    auto o = run(kOpen + R"(
expect dbgItens[2].CODIGO = B2
expect dbgItens[1].QTDE = "1.234,50"
expect cdsItens[3].QTDE = null
expect cdsItens[2].ATIVO = false
expect cdsItens[2].DATA = null
expect cdsItens.CODIGO = A1
expect dbgItens[4].CODIGO = D4
expect cdsItens[1].CODIGO = Z9
)");
    EXPECT_EQ(o.status, 1) << o.out;
    EXPECT_NE(o.out.find("FAILED line 10: expect dbgItens[4].CODIGO = D4 (found: 3 row(s))"), std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("FAILED line 11: expect cdsItens[1].CODIGO = Z9 (found: \"A1\")"), std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("6 passed, 2 failed"), std::string::npos) << o.out;

    // A grid reads the columns it shows; row numbers count from 1.
    auto noColumn = run(kOpen + "expect dbgItens[1].ATIVO = true\n");
    EXPECT_EQ(noColumn.status, 2) << noColumn.out;
    EXPECT_NE(noColumn.out.find("grid dbgItens has no column ATIVO"), std::string::npos) << noColumn.out;
    EXPECT_EQ(run(kOpen + "expect edtNome[1].text = A1\n").status, 2);
}

TEST(ScriptDriver, SqlAndCallArgumentsAsExpectations) {
    auto o = run(R"(
database demo
signon operator=DEMO branch=0001 date=10/03/2026
open
expect sql "SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = '0001'" = "FILIAL DE TESTE"
sql "UPDATE FILIAL SET NMFILIAL = 'FILIAL DE TESTE' WHERE CDFILIAL = '0001'"
expect sql "SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = '0001'" = "FILIAL DE TESTE"
expect sql "SELECT COUNT(*) FROM FILIAL WHERE CDFILIAL = '9999'" = 0
expect sql "SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = '9999'" = x
expect sql "SELECT NULL" = null
expect calls GetParamFilial(1) = 0001
click btnParam
expect calls GetParamFilial(1) = 0001
expect calls Pla02000.rdmRetirada.GetParamFilial(1) = "0001"
expect calls GetParamFilial(2) = 0001
)");
    EXPECT_EQ(o.status, 1) << o.out;
    EXPECT_NE(o.out.find("FAILED line 5: expect sql"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("FAILED line 9: expect sql \"SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = '9999'\" = x "
                         "(found: no rows)"),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("FAILED line 11: expect calls GetParamFilial(1) = 0001 (found: no call)"), std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("FAILED line 15: expect calls GetParamFilial(2) = 0001 (found: no such argument)"),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("5 passed, 4 failed"), std::string::npos) << o.out;

    auto badSql = run(kOpen + "expect sql \"SELECT * FROM NADA\" = 1\n");
    EXPECT_EQ(badSql.status, 2) << badSql.out;
}

TEST(ScriptDriver, SeveralFilesAndStandardInput) {
    std::string good = scenarioFile(kOpen + "expect form = frmTeste\n");
    std::string bad = scenarioFile(kOpen + "expect form = frmOutro\n");
    auto both = runCommand(base() + " " + good + " " + bad);
    EXPECT_EQ(both.status, 1) << both.out;
    EXPECT_NE(both.out.find("== " + good), std::string::npos);
    EXPECT_NE(both.out.find("1 passed, 0 failed"), std::string::npos) << both.out;
    EXPECT_NE(both.out.find("0 passed, 1 failed"), std::string::npos) << both.out;

    auto piped = runCommand("cat " + good + " | " + base() + " -");
    EXPECT_EQ(piped.status, 0) << piped.out;
    std::filesystem::remove(good);
    std::filesystem::remove(bad);
}

TEST(ScriptDriver, AGivenDatabaseAndARunningServer) {
    auto dir = std::filesystem::temp_directory_path() / ("pla-script-db-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "given.db").string();
    store::CreateDemoDatabase(path);
    std::string scenario = scenarioFile(R"(
database empty
sql "UPDATE FILIAL SET NMFILIAL = 'DADA' WHERE CDFILIAL = '0001'"
signon operator=DEMO branch=0001
open
click btnFilial
expect lblFilial.caption = DADA
click btnTipos
expect calls GetTipoReti = 1
expect cdsTipos.count = 5
)");
    // --db: the in-process server and the screen's queries use the file given
    // (the database line is then moot: the demo data is there).
    auto given = runCommand(base() + " --db sqlite:" + path + " " + scenario);
    EXPECT_EQ(given.status, 0) << given.out;

    // --server: calls travel over HTTP to a server of their own, still counted.
    appserver::AppServerOptions options;
    options.dbUrl = "sqlite:" + path;
    options.log = appserver::NullLogSink();
    appserver::AppServer server(options);
    int port = server.Listen("127.0.0.1", 0);
    auto remote = runCommand(base() + " --db sqlite:" + path + " --server http://127.0.0.1:" + std::to_string(port) +
                             " " + scenario);
    EXPECT_EQ(remote.status, 0) << remote.out;

    auto badUrl = runCommand(base() + " --server nowhere " + scenario);
    EXPECT_EQ(badUrl.status, 2) << badUrl.out;
    server.Stop();
    std::filesystem::remove(scenario);
    std::filesystem::remove_all(dir);
}
