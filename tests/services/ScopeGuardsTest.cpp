// The framework's scope guards: each gives back what it took, on a normal
// exit and when an exception leaves the scope.
#include "UiFixture.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "data/ControlsDisabled.h"
#include "data/DataSource.h"
#include "net/ConnectionUse.h"
#include "services/ProgressNote.h"
#include "ui/CursorGuard.h"
#include "ui/Form.h"
#include "ui/WindowUpdateLock.h"

#include <string>
#include <vector>

namespace {

using ScopeGuards = UiTest;

TEST_F(ScopeGuards, HourglassAndWindowLockGiveBackWhatWasThereBeforeWhenNested) {
    TForm* a = Application().CreateForm<TForm>("frmA");
    TForm* b = Application().CreateForm<TForm>("frmB");
    {
        THourGlass outer;
        TWindowUpdateLock la(a);
        EXPECT_THROW(
            {
                THourGlass inner;
                TWindowUpdateLock lb(b);
                EXPECT_EQ(Application().LockedForm(), b);
                throw Exception("falhou");
            },
            Exception);
        EXPECT_EQ(Application().Cursor(), TCursor::crHourGlass);
        EXPECT_EQ(Application().LockedForm(), a);
    }
    EXPECT_EQ(Application().Cursor(), TCursor::crDefault);
    EXPECT_FALSE(Application().WindowUpdateLocked());
}

TEST_F(ScopeGuards, ProgressNoteIsRemovedOnceWhetherClosedEarlyOrByAnError) {
    EXPECT_THROW(
        {
            TProgressNote note(6, "Aguarde");
            EXPECT_TRUE(Showavi::Active());
            throw Exception("falhou");
        },
        Exception);
    EXPECT_EQ(dialogs->ProgressDepth(), 0);
    {
        TProgressNote note(1);
        note.Close();
        EXPECT_FALSE(Showavi::Active());
        // A note shown by someone else afterwards is not the guard's to remove.
        Showavi::ActiveShowAvi(nullptr, 0, "outra");
    }
    EXPECT_TRUE(Showavi::Active());
    Showavi::DeactiveShowAvi();

    int hides = 0;
    for (const DialogRecord& r : dialogs->Transcript()) hides += r.Kind == "ProgressHide";
    EXPECT_EQ(hides, 3);
}

TEST_F(ScopeGuards, ControlsDisabledSendsOneNotificationAfterTheScopeAndBalancesOnErrors) {
    TClientDataSet cds;
    cds.AddField("NOME", TFieldType::ftString, 20);
    cds.CreateDataSet();
    TDataSource src;
    src.SetDataSet(&cds);
    int changes = 0;
    src.OnDataChange = [&](TDataSource&, TField*) { ++changes; };

    EXPECT_THROW(
        {
            TControlsDisabled quiet(cds);
            cds.AppendRecord({Variant("a")});
            cds.AppendRecord({Variant("b")});
            EXPECT_EQ(changes, 0);
            throw Exception("falhou");
        },
        Exception);
    EXPECT_FALSE(cds.ControlsDisabled());
    EXPECT_EQ(changes, 1);
}

TEST_F(ScopeGuards, ConnectionUseClosesWhatItOpenedAndNothingAfterAFailedOpen) {
    TNetConnection conn("netTeste");
    std::vector<std::string> log;
    bool refuse = false;
    auto pairing = [&](TNetConnection& c, bool connect) {
        if (connect && refuse) throw Exception("sem servidor");
        log.push_back(c.Name + (connect ? "+" : "-"));
    };

    EXPECT_THROW(
        {
            TConnectionUse use(conn, pairing);
            throw Exception("falhou");
        },
        Exception);
    EXPECT_EQ(log, (std::vector<std::string>{"netTeste+", "netTeste-"}));

    log.clear();
    refuse = true;
    EXPECT_THROW(TConnectionUse(conn, pairing), Exception);
    EXPECT_TRUE(log.empty());
}

}  // namespace
