// The withdrawal screen's item grid as the Qt view paints it: one row in each
// state (in stock, marked deleted, not in stock, consumed 0, in error, new
// without a product), and the pixels read back: a red row is red, each status shows its own picture,
// the selected cell is on highlight.
#include "../screen/ScreenFixture.h"
#include "qtview/Colors.h"
#include "qtview/FormView.h"
#include "qtview/GridWidget.h"
#include "qtview/ViewManager.h"

#include <QApplication>
#include <QImage>
#include <QMdiArea>

#include <functional>
#include <memory>

using namespace screen_test;

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "grid_paint_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Counts the pixels of a rectangle that satisfy the test.
int pixels(const QImage& img, const QRect& r, const std::function<bool(QColor)>& test) {
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x)
            if (test(img.pixelColor(x, y))) ++n;
    return n;
}

bool red(QColor c) { return c.red() > 200 && c.green() < 70 && c.blue() < 70; }
bool green(QColor c) { return c.green() > 100 && c.red() < 80 && c.blue() < 80; }
bool grey(QColor c) { return std::abs(c.red() - c.green()) < 12 && std::abs(c.green() - c.blue()) < 12 && c.red() < 140; }

// The screen as the host shows it: an MDI child in the main window's area
// (the fixture's stand-in main form has no window of its own).
class GridPaintTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        main_->SetFormStyle(TFormStyle::fsMDIForm);
        mdi = std::make_unique<QMdiArea>();
        mdi->resize(1200, 800);
        mdi->show();
        views = std::make_unique<qtview::ViewManager>(mdi.get(), mdi.get());
    }
    void TearDown() override {
        Application().Reset();
        views.reset();
        mdi.reset();
        ScreenTest::TearDown();
    }
    std::unique_ptr<QMdiArea> mdi;
    std::unique_ptr<qtview::ViewManager> views;
};

}  // namespace

TEST_F(GridPaintTest, ItemGridPaintsEveryItemState) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->mnuFormulario->UserClick();
    TClientDataSet& itens = f->cdsItLanctoEst;
    ASSERT_GE(itens.RecordCount(), 3);

    // Six items from the first one's row, each in one state.
    DataPacket p = itens.Data().AsPacket();
    ASSERT_FALSE(p.rows.empty());
    const PacketRow modelo = p.rows[0];
    auto set = [&](PacketRow& r, const char* field, Variant v) { r.values[static_cast<size_t>(p.FieldIndex(field))] = v; };
    p.rows.clear();
    struct Estado {
        const char* nome;
        const char* status;
        const char* noEstoque;
        double consumida;
        const char* produto;
    };
    const Estado estados[] = {{"estoque", "N", "S", 2, "P-OK"},    {"excluido", "D", "S", 2, "P-DEL"},
                              {"pendente", "N", "N", 2, "P-PEND"}, {"desconsiderado", "N", "S", 0, "P-ZERO"},
                              {"erro", "N", "N", 2, "P-ERRO"},     {"sem_produto", "N", "N", 2, ""}};
    int seq = 1;
    for (const Estado& e : estados) {
        PacketRow r = modelo;
        set(r, "IDSTATUS", Variant(e.status));
        set(r, "IDEVOLESTOQ", Variant(e.noEstoque));
        set(r, "QTTOTLANCTO", Variant(e.consumida));
        set(r, "CDPRODUTO", *e.produto ? Variant(e.produto) : Variant());
        set(r, "NMPRODUTO", Variant(std::string("PRODUTO ") + e.nome));
        set(r, "NRSEQUITRETI", Variant(std::to_string(seq++)));
        p.rows.push_back(r);
    }
    itens.SetData(Variant(p));
    // The error of one product, with its mark column shown as a failed save shows it.
    DataPacket erros;
    erros.fields = {{"CDERRO", TFieldType::ftString, 20}, {"CDOBJETO", TFieldType::ftString, 20}};
    erros.rows.push_back({{Variant("PLA02000_1"), Variant("P-ERRO")}, RowChange::Unmodified, {}});
    f->cdsRetorno->SetData(Variant(erros));
    f->MostraColunaErro();
    itens.First();

    qtview::FormView* view = views->ViewOf(f);
    ASSERT_NE(view, nullptr);
    QWidget* window = views->WindowOf(f);
    ASSERT_NE(window, nullptr);
    window->resize(1150, 750);
    window->show();
    QApplication::processEvents();
    auto* gw = qobject_cast<qtview::GridWidget*>(view->WidgetOf(f->dbgItens));
    ASSERT_NE(gw, nullptr);
    gw->Refresh();
    QApplication::processEvents();
    ASSERT_GT(gw->viewport()->height(), gw->TitleHeight() + 6 * gw->RowHeight());

    const QImage shot = gw->viewport()->grab().toImage();
    const int nome = f->dbgItens->ColumnIndexOf("NMPRODUTO");
    const int status = f->dbgItens->ColumnIndexOf("ESTOQUEOK");
    const int erro = f->dbgItens->ColumnIndexOf("IDERRO");
    ASSERT_GE(erro, 0);
    for (int row = 0; row < 6; ++row) {
        const QRect r = gw->CellRect(row, nome).adjusted(0, 0, 0, -1);
        ASSERT_FALSE(r.isEmpty());
        // Row 0 is the current one: its selected cell is on highlight, the others on the grid's info colour.
        if (row > 0) {
            const QColor fundo = qtview::ToQColor(clInfoBk, gw->palette());
            EXPECT_EQ(shot.pixelColor(r.left() + 1, r.top() + 1), fundo) << "row " << row;
        }
        const int vermelhos = pixels(shot, r, red);
        if (row == 1) EXPECT_GT(vermelhos, 5) << "the row marked deleted is not drawn red";
        else EXPECT_EQ(vermelhos, 0) << "row " << row << " is drawn red";
    }
    ASSERT_FALSE(gw->CellRect(0, status).isEmpty());
    EXPECT_GT(pixels(shot, gw->CellRect(0, status), green), 3) << "in stock: the check";
    EXPECT_GT(pixels(shot, gw->CellRect(2, status), red), 3) << "not in stock: the cross";
    EXPECT_GT(pixels(shot, gw->CellRect(3, status), grey), 3) << "consumed 0: the dash";
    EXPECT_EQ(pixels(shot, gw->CellRect(3, status), green), 0);
    EXPECT_EQ(pixels(shot, gw->CellRect(5, status), [](QColor c) { return red(c) || green(c) || grey(c); }), 0)
        << "no product: no picture";
    EXPECT_GT(pixels(shot, gw->CellRect(4, erro), red), 3) << "the item in error";
    EXPECT_GT(pixels(shot, gw->CellRect(0, erro), green), 3) << "an item without error";

    // The selected cell: highlight behind caption-coloured text, red row or not.
    const QColor realce = qtview::ToQColor(clHighlight, gw->palette());
    const QRect atual = gw->CellRect(0, f->dbgItens->SelectedIndex());
    EXPECT_EQ(shot.pixelColor(atual.left() + 1, atual.top() + 1), realce);
    itens.Next();  // the red row becomes the current one
    gw->Refresh();
    QApplication::processEvents();
    const QImage shot2 = gw->viewport()->grab().toImage();
    const QRect sel = gw->CellRect(1, f->dbgItens->SelectedIndex());
    EXPECT_EQ(shot2.pixelColor(sel.left() + 1, sel.top() + 1), realce);
    EXPECT_EQ(pixels(shot2, sel, red), 0) << "a selected cell shows caption text, also on a red row";

    // Quantities end at the right edge: their text's pixels sit in the right half.
    const int consumida = f->dbgItens->ColumnIndexOf("QTTOTLANCTO");
    const QRect q = gw->CellRect(2, consumida);
    const QColor texto = qtview::ToQColor(clWindowText, gw->palette());
    auto escuro = [&](QColor c) { return std::abs(c.red() - texto.red()) < 60 && std::abs(c.green() - texto.green()) < 60; };
    EXPECT_GT(pixels(shot, QRect(q.center().x(), q.top(), q.width() / 2, q.height()), escuro), 5);
    EXPECT_EQ(pixels(shot, QRect(q.left() + 1, q.top(), q.width() / 4, q.height()), escuro), 0);

    itens.CancelUpdates();
}
