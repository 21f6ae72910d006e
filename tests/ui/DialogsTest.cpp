#include "UiFixture.h"

#include "core/Exception.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace {

using Dialogs_ = UiTest;

TEST_F(Dialogs_, AnswersFromTheQueueAndRecordsInOrder) {
    dialogs->Queue(ScriptedAnswer::Button(mrNo));
    dialogs->Queue(ScriptedAnswer::Option(12));
    EXPECT_EQ(MessageDlg("Confirma operação?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}),
              mrNo);
    EXPECT_EQ(Dialogs().OptionDialog("Escolha", TMsgDlgType::mtInformation, {"Sim", "Não", "Cancelar"}, 2), 12);
    Dialogs().ShowProgress(6, "Recebendo...");
    Dialogs().HideProgress();
    Dialogs().ErrorBox("Falhou.");
    ShowMessage("Aviso");
    EXPECT_EQ(dialogs->TranscriptText(),
              "MessageBox[Confirmation] \"Confirma operação?\" {Yes,No} -> No\n"
              "OptionDialog[Information] \"Escolha\" {Sim,Não,Cancelar} -> 12\n"
              "ProgressShow[6] \"Recebendo...\"\n"
              "ProgressHide\n"
              "ErrorBox[Error] \"Falhou.\" {OK} -> OK\n"
              "MessageBox[Custom] \"Aviso\" {OK} -> OK\n");
    EXPECT_EQ(dialogs->Pending(), 0u);
    EXPECT_EQ(dialogs->ProgressDepth(), 0);
}

TEST_F(Dialogs_, UnexpectedDialogFailsClearly) {
    EXPECT_THROW(MessageDlg("Confirma?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}),
                 EUnexpectedDialog);
    dialogs->Queue(ScriptedAnswer::Option(10));
    EXPECT_THROW(MessageDlg("Confirma?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}),
                 EUnexpectedDialog);
    dialogs->ClearAnswers();
    dialogs->Queue(ScriptedAnswer::Button(mrOk));  // not offered
    EXPECT_THROW(MessageDlg("Confirma?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}),
                 EUnexpectedDialog);
    dialogs->Queue(ScriptedAnswer::Option(13));  // two buttons only
    EXPECT_THROW(Dialogs().OptionDialog("x", TMsgDlgType::mtConfirmation, {"A", "B"}, 1), EUnexpectedDialog);
    dialogs->SetStrict(true);
    EXPECT_THROW(Dialogs().ErrorBox("x"), EUnexpectedDialog);
}

TEST_F(Dialogs_, UnexpectedDialogPassesThroughUserActionsAndHandlers) {
    auto* f = Application().CreateForm<TForm>("frmA");
    auto* b = TComponent::Create<TButton>(f, "btn");
    b->SetParent(f);
    f->Show();
    b->OnClick = [](TObject*) {
        try {
            MessageDlg("Excluir?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
        } catch (const Exception&) {
            FAIL() << "a handler must not swallow a script failure";
        }
    };
    EXPECT_THROW(b->UserClick(), EUnexpectedDialog);
}

// EAbort stays silent: a scenario fails on any message it did not expect, and
// every refusal the screen reports itself ends in EAbort.
// Picks, cancelled lists and find answers are played by services/SearchTest.
TEST_F(Dialogs_, APickMatchingNoRowFailsTheScript) {
    SearchListRequest req{"Serviço", {{"CDSERVFILI", "Código"}, {"NMSERVICO", "Nome"}},
                          {{"00001", "Almoço"}, {"00002", "Jantar"}}, false, 0};
    dialogs->Queue(ScriptedAnswer::PickWhere("NMSERVICO", "Ceia"));
    EXPECT_THROW(Dialogs().SearchList(req), EUnexpectedDialog);
}

}  // namespace
