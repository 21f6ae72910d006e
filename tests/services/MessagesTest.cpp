#include "UiFixture.h"

#include "core/Exception.h"
#include "services/Messages.h"
#include "services/Msgaler.h"

namespace {

struct Catalog : UiTest {
    ComponentPtr<TMessages> msg = MakeComponent<TMessages>("msgPadrao");
};

TEST_F(Catalog, KeysIgnoreCaseTextsKeepBlanksAndABadResourceKeepsTheCatalog) {
    msg->LoadFromText("OK|OK\r\nMsg_Comp_Reti| ,Serviço \n\nDtInicial_inf|Data %s inicial deve ser informada.\n");
    EXPECT_EQ(msg->Count(), 3);
    EXPECT_EQ(msg->Msg("msg_comp_reti"), " ,Serviço ");
    EXPECT_EQ(msg->Msg("DtInicial_Inf", {"retirada"}), "Data retirada inicial deve ser informada.");
    EXPECT_EQ(msg->Msg("Nada"), "Nada");  // a missing key shows itself
    // The texts of the refusals are the catalog reader's (data/CatalogFormatTest).
    EXPECT_THROW(msg->LoadFromText("B|2\nb|3\n"), Exception);
    EXPECT_THROW(msg->LoadFromText("B|2\nsem barra\n"), Exception);
    EXPECT_EQ(msg->Count(), 3);
    EXPECT_THROW(msg->LoadFromFile("/nonexistent/msg.txt"), Exception);
}

TEST_F(Catalog, OptionDialogReturnsTenElevenTwelve) {
    dialogs->Queue(ScriptedAnswer::Option(11));
    EXPECT_EQ(Tmsgaler::MsgAlertEx("Escolha", TMsgDlgType::mtConfirmation, {"Valida", "Grava", "Cancela"}, 1, 0, 0),
              11);
    EXPECT_EQ(dialogs->Transcript().back().Buttons, (std::vector<std::string>{"Valida", "Grava", "Cancela"}));
    EXPECT_THROW(Tmsgaler::MsgAlertEx("x", TMsgDlgType::mtConfirmation, {"Só"}, 1), Exception);
}

}  // namespace
