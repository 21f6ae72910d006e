#include "UiFixture.h"

#include "core/Exception.h"
#include "services/Messages.h"
#include "services/Msgaler.h"
#include "services/Showavi.h"

namespace {

struct Catalog : UiTest {
    ComponentPtr<TMessages> msg = MakeComponent<TMessages>("msgPadrao");
};

TEST_F(Catalog, LooksKeysUpWithoutRegardToCaseAndKeepsBlanks) {
    msg->LoadFromText("OK|OK\r\nSERV_INATIVO|Serviço não habilitado para retiradas.\n"
                      "Msg_Comp_Reti| ,Serviço \n\nDtInicial_inf|Data %s inicial deve ser informada.\n");
    EXPECT_EQ(msg->Count(), 4);
    EXPECT_EQ(msg->Msg("Serv_Inativo"), "Serviço não habilitado para retiradas.");
    EXPECT_EQ(msg->Msg("msg_comp_reti"), " ,Serviço ");
    EXPECT_EQ(msg->Msg("DtInicial_Inf", {"retirada"}), "Data retirada inicial deve ser informada.");
    EXPECT_EQ(msg->Msg("Nada"), "Nada");  // a missing key shows itself
}

TEST_F(Catalog, BadResourceIsRefusedAndKeepsTheCatalog) {
    msg->LoadFromText("A|1\n");
    // The texts of the refusals are the catalog reader's (data/CatalogFormatTest).
    EXPECT_THROW(msg->LoadFromText("B|2\nb|3\n"), Exception);
    EXPECT_THROW(msg->LoadFromText("B|2\nsem barra\n"), Exception);
    EXPECT_EQ(msg->Count(), 1);
    EXPECT_EQ(msg->Msg("a"), "1");
    EXPECT_THROW(msg->LoadFromFile("/nonexistent/msg.txt"), Exception);
}

// A confirmation asked with a catalog text: retirada_implantacao.scn.
TEST_F(Catalog, OptionDialogReturnsTenElevenTwelve) {
    dialogs->Queue(ScriptedAnswer::Option(11));
    EXPECT_EQ(Tmsgaler::MsgAlertEx("Escolha", TMsgDlgType::mtConfirmation, {"Valida", "Grava", "Cancela"}, 1, 0, 0),
              11);
    EXPECT_EQ(dialogs->Transcript().back().Buttons, (std::vector<std::string>{"Valida", "Grava", "Cancela"}));
    EXPECT_THROW(Tmsgaler::MsgAlertEx("x", TMsgDlgType::mtConfirmation, {"Só"}, 1), Exception);
}

TEST_F(Catalog, ProgressNoteIsOneAndRemovalIsSafeToRepeat) {
    Showavi::ActiveShowAvi(nullptr, 6, "Recebendo...");
    Showavi::ActiveShowAvi(nullptr, 1, "Gravando...");
    EXPECT_EQ(dialogs->ProgressDepth(), 1);
    Showavi::DeactiveShowAvi();
    Showavi::DeactiveShowAvi();
    EXPECT_FALSE(Showavi::Active());
    EXPECT_EQ(dialogs->ProgressDepth(), 0);
    EXPECT_EQ(dialogs->TranscriptText(),
              "ProgressShow[6] \"Recebendo...\"\nProgressHide\nProgressShow[1] \"Gravando...\"\nProgressHide\n");
}

}  // namespace
