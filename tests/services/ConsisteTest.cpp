#include "UiFixture.h"

#include "core/Exception.h"
#include "db/ConnectionUrl.h"
#include "db/LocalConnection.h"
#include "services/Consiste.h"
#include "services/DBPicture.h"
#include "services/Morvena.h"

#include <cmath>

namespace {

using ConsisteT = UiTest;

TEST_F(ConsisteT, AjustaPadsButNeverCutsAndRoundDecRoundsHalfAwayFromZeroAsTyped) {
    EXPECT_EQ(Consiste::Ajusta(" 12 ", 5), "00012");
    EXPECT_EQ(Consiste::Ajusta("   ", 4), "");
    EXPECT_EQ(Consiste::Ajusta("123456", 4), "123456");
    EXPECT_DOUBLE_EQ(Consiste::RoundDec(1.005, 2), 1.01);
    EXPECT_DOUBLE_EQ(Consiste::RoundDec(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(Consiste::RoundDec(0.1 + 0.2, 5), 0.3);
    EXPECT_DOUBLE_EQ(Consiste::RoundDec(1250.0, -2), 1300.0);
    EXPECT_EQ(Consiste::RoundDec(12.0, 5), 12.0);  // whole numbers keep their value
    EXPECT_FALSE(std::signbit(Consiste::RoundDec(-0.0, 5)));
    EXPECT_FALSE(std::signbit(Consiste::RoundDec(-0.000001, 5)));
}

TEST_F(ConsisteT, ServerFailureTextStopsTheOperation) {
    Variant packet = VarArrayOf({1, 2});
    EXPECT_EQ(Consiste::CheckResultServ(packet, true, 0), packet);
    EXPECT_THROW(Consiste::CheckResultServ(Variant("Filial inexistente"), true, 0), EAbort);
    ASSERT_EQ(dialogs->Transcript().size(), 1u);
    EXPECT_EQ(dialogs->Transcript()[0].Text, "Filial inexistente");
    EXPECT_THROW(Consiste::CheckResultServ(Variant("x"), false, 0), Exception);
    EXPECT_NO_THROW(Consiste::MensErro("Nota.", false));
    EXPECT_THROW(Consiste::MensErro("Erro.", true), EAbort);
    EXPECT_EQ(dialogs->Transcript().size(), 3u);
}

TEST_F(ConsisteT, ValidaFilialAsksTheDatabaseWhichBranchesTheOperatorMayUse) {
    std::shared_ptr<db::SqlConnection> conn = db::OpenConnection("sqlite::memory:");
    conn->Execute("CREATE TABLE FILIAL (CDFILIAL VARCHAR(4), NMFILIAL VARCHAR(30))");
    conn->Execute("CREATE TABLE OPERADOR (CDOPERADOR VARCHAR(12), CDFILIAL VARCHAR(4), IDATIVO VARCHAR(1))");
    conn->Execute("INSERT INTO FILIAL VALUES ('0001', 'MATRIZ'), ('0002', 'CENTRO')");
    conn->Execute("INSERT INTO OPERADOR VALUES ('LIVRE', NULL, 'S'), ('PRESO', '0001', 'S'), ('BRANCO', ' ', 'S'),"
                  " ('PARADO', NULL, 'N')");
    db::SetLocalConnection(conn);
    Morvena::ResetContext();
    // The context says nothing; the database says it all.
    EXPECT_EQ(Consiste::ValidaFilial("0002", "livre", false), "CENTRO");
    EXPECT_EQ(Consiste::ValidaFilial(" 0001", "PRESO", true), "MATRIZ");
    EXPECT_EQ(Consiste::ValidaFilial("0002", "BRANCO", true), "CENTRO");  // a blank binding binds to none
    auto refusal = [](const std::string& b, const std::string& op) {
        try {
            Consiste::ValidaFilial(b, op, true);
        } catch (const Exception& e) {
            return e.Message();
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refusal("0002", "PRESO"), "Operador PRESO sem acesso à filial 0002.");
    EXPECT_EQ(refusal("0001", "PARADO"), "Operador PARADO sem acesso à filial 0001.");
    // An unknown branch is unknown whoever asks, before any operator check.
    EXPECT_EQ(refusal("0009", "NINGUEM"), "Filial não cadastrada.");
    db::SetLocalConnection(nullptr);

    // Without a database, the signed-on context: a user bound to his branch keeps to it.
    Morvena::Context().Filiais = {{"0001", "Matriz"}, {"0002", "Centro"}};
    Morvena::Context().FiliProc = "0001";
    Morvena::Context().ModuFili = true;
    EXPECT_EQ(refusal("0002", "PRESO"), "Operador PRESO sem acesso à filial 0002.");
    EXPECT_EQ(Consiste::ValidaFilial("0001", "PRESO", false), "Matriz");
    // An installed validator has the last word.
    Consiste::SetBranchValidator([](const std::string& b, const std::string&, bool) { return "Filial " + b; });
    EXPECT_EQ(Consiste::ValidaFilial("0002", "PRESO", true), "Filial 0002");
    Consiste::SetBranchValidator(nullptr);
    Morvena::ResetContext();
}

TEST(DBPictureT, LevelsOfATwoTwoThreeProductPicture) {
    TDBPicture p("99.99.999;0;_");
    EXPECT_EQ(p.GetTtNiveis(), 3);
    EXPECT_EQ(p.TamNivel("3"), 3);
    EXPECT_EQ(p.TamAcNivel("2"), 4);
    EXPECT_EQ(p.TamAcNivel("0"), 0);
    EXPECT_EQ(p.NivelDoCodigo("0102"), 2);
    EXPECT_EQ(p.NivelDoCodigo("010"), 0);
    EXPECT_FALSE(p.CodigoValido("01A2003"));
    EXPECT_THROW(p.TamNivel("4"), Exception);
    EXPECT_THROW(p.TamAcNivel("dois"), EConvertError);
    EXPECT_THROW(TDBPicture(";0;_"), Exception);
    EXPECT_EQ(TDBPicture(">AA-9999").TamAcNivel("2"), 6);
}

}  // namespace
