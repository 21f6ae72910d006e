// The printing screen's report: what it holds for a demo list, that it reads
// the list without moving it, what the user is told, and the module's entry as
// Morvena::LoadBPL finds and calls it.
#include "Cli_pla02100/PdfWriter.h"
#include "Cli_pla02100/Pla02100.h"
#include "Cli_pla02100/RelatorioRetiradas.h"
#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "services/Morvena.h"
#include "ui/Application.h"
#include "ui/ScriptedDialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <iterator>
#include <map>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

namespace fs = std::filesystem;
using namespace pla02100;

DataPacket listPacket() {
    DataPacket p;
    for (const char* f : {"CDSERVFILI", "NMSERVICO", "NRREQUEXTRRE", "NRLANCESTQ", "CDFILIAL", "NRRETIRADA", "CDFILIMOVI"})
        p.fields.push_back({f, TFieldType::ftString, 40});
    p.fields.push_back({"DTLANCESTQ", TFieldType::ftDateTime, 0});
    p.fields.push_back({"DTCARDAPIO", TFieldType::ftDateTime, 0});
    const TDateTime d = EncodeDate(2026, 3, 2);
    auto row = [&](const char* svc, const char* name, const char* req, const char* lanc, const char* ret) {
        p.rows.push_back({{Variant(svc), Variant(name), Variant(req), Variant(lanc), Variant("0001"), Variant(ret),
                           Variant("0001"), Variant(d), Variant(d)},
                          RowChange::Unmodified,
                          {}});
    };
    row("00001", "ALMOÇO", "0000000000", "0000000010", "0000000020");
    row("00002", "JANTAR <B&B>", "0000000003", "0000000011", "0000000021");
    return p;
}

DataPacket itemsPacket(const std::string& nrRetirada) {
    DataPacket p;
    for (const char* f : {"CDARVPROD", "NMPRODUTO", "SGUNIDADE", "NMTIPORETI", "IDEVOLESTOQ", "IDSTATUS"})
        p.fields.push_back({f, TFieldType::ftString, 50});
    for (const char* f : {"QTPREVISRETI", "QTEXTRARETI", "QTDEVOLVRETI", "QTTOTLANCTO", "VRTOTLANCTO"})
        p.fields.push_back({f, TFieldType::ftFloat, 0});
    auto row = [&](const char* tree, const char* name, const char* stock, const char* status, double planned, double value) {
        p.rows.push_back({{Variant(tree), Variant(name), Variant("KG"), Variant("NORMAL"), Variant(stock), Variant(status),
                           Variant(planned), Variant(1.0), Variant(0.5), Variant(planned + 0.5), Variant(value)},
                          RowChange::Unmodified,
                          {}});
    };
    if (nrRetirada == "0000000020") {
        row("0101001", "ARROZ", "S", "N", 10, 35.5);
        row("0101003", "FEIJÃO", "N", "N", 4, 20);
        row("0102005", "EXCLUÍDO", "S", "D", 1, 999);
    }
    return p;
}

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        Application().Reset();
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        Application().SetDialogs(std::move(d));
        dir = fs::temp_directory_path() / ("pla-printing-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        list.SetData(Variant(listPacket()));
    }
    void TearDown() override {
        Application().Reset();
        fs::remove_all(dir);
    }
    FonteItens fonte() {
        return [this](const std::string& movi, const std::string& nr) {
            ++calls[movi + "/" + nr];
            return Variant(itemsPacket(nr));
        };
    }

    ScriptedDialogs* dialogs = nullptr;
    fs::path dir;
    TClientDataSet list;
    std::map<std::string, int> calls;
};

TEST_F(Printing, ReportHoldsEveryWithdrawalWithItsLiveItemsAndReadsTheListInPlace) {
    list.Last();
    const int before = list.CurrentRow();
    Relatorio r = MontaRelatorio(list, fonte());
    EXPECT_EQ(list.CurrentRow(), before);  // the screen's cursor is left alone
    ASSERT_EQ(r.retiradas.size(), 2u);
    EXPECT_EQ(r.filial, "0001");
    EXPECT_EQ(calls["0001/0000000020"], 1);
    EXPECT_EQ(calls["0001/0000000021"], 1);

    const RetiradaRelatorio& a = r.retiradas[0];
    EXPECT_EQ(a.requisicao, "Planejada");
    ASSERT_EQ(a.itens.size(), 2u);  // the item marked deleted is left out
    EXPECT_FALSE(a.itens[0].pendente);
    EXPECT_TRUE(a.itens[1].pendente);
    EXPECT_DOUBLE_EQ(a.valorTotal(), 55.5);
    EXPECT_EQ(r.retiradas[1].requisicao, "Extra 0000000003");
    EXPECT_TRUE(r.retiradas[1].itens.empty());

    const std::string html = HtmlRelatorio(r);
    EXPECT_THAT(html, HasSubstr("ARROZ"));
    EXPECT_THAT(html, Not(HasSubstr("EXCLUÍDO")));
    EXPECT_THAT(html, HasSubstr("JANTAR &lt;B&amp;B&gt;"));
    EXPECT_THAT(html, HasSubstr("Pendente"));
    EXPECT_THAT(html, HasSubstr("Sem itens."));
    EXPECT_THAT(html, HasSubstr("02/03/2026"));
}

TEST_F(Printing, ItemFailureStopsTheReport) {
    EXPECT_THROW(MontaRelatorio(list, [](const std::string&, const std::string&) -> Variant {
                     throw Exception("Servidor indisponível.");
                 }),
                 Exception);
    TClientDataSet closed;
    EXPECT_THROW(MontaRelatorio(closed, fonte()), Exception);
}

TEST_F(Printing, FileNamesAreDatedAndSafe) {
    EXPECT_EQ(NomeArquivo("0001", EncodeDateTime(2026, 3, 2, 7, 5, 9)), "Retiradas_0001_20260302-070509.pdf");
    EXPECT_EQ(NomeArquivo(" a/b ", EncodeDateTime(2026, 12, 31, 23, 59, 59)), "Retiradas_a_b_20261231-235959.pdf");
}

// The PDF written into the user's documents: filterdlg/PrintTest.
TEST_F(Printing, AFolderThatIsNotThereIsAFailure) {
    EXPECT_THROW(EscrevePdf("<p>x</p>", (dir / "missing" / "x.pdf").string(), "x"), Exception);
}

TEST_F(Printing, EmptyListIsToldAndWritesNothing) {
    TClientDataSet empty;
    DataPacket p = listPacket();
    p.rows.clear();
    empty.SetData(Variant(p));
    EXPECT_EQ(ImprimeRetiradas(empty, dir.string()), "");
    EXPECT_THAT(dialogs->TranscriptText(), HasSubstr("Não há retiradas na lista para imprimir."));
    EXPECT_TRUE(fs::is_empty(dir));
}

// The module as LoadBPL opens it: a parameter other than "M", or no screen
// open, is refused with a clear text.
TEST_F(Printing, ModuleEntryRefusesWhatItCannotPrint) {
    void* h = dlopen(PLA02100_MODULE, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(h, nullptr) << dlerror();
    auto entry = reinterpret_cast<IniProcParamFn>(dlsym(h, "IniProcParam"));
    ASSERT_NE(entry, nullptr);
    Variant other("X");
    try {
        entry(&other);
        FAIL() << "accepted X";
    } catch (const Exception& e) {
        EXPECT_THAT(e.what(), HasSubstr("não reconhecido"));
    }
    Variant m("M");
    try {
        entry(&m);
        FAIL() << "printed without a screen";
    } catch (const Exception& e) {
        EXPECT_THAT(e.what(), HasSubstr("A tela de retirada não está aberta."));
    }
}

}  // namespace
