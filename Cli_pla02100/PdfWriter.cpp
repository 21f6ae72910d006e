#include "Cli_pla02100/PdfWriter.h"

#include "core/Exception.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTextDocument>

#include <memory>

namespace pla02100 {

namespace {

void garanteAplicacaoGui() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(app))
            throw Exception("O relatório precisa de uma aplicação gráfica (QGuiApplication).");
        return;
    }
    // Only a host without Qt gets here (a headless driver, a test): the report
    // needs fonts and a paint device, never a window, so no display is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps argc and argv by reference: they must outlive the application.
    static int argc = 1;
    static char arg0[] = "pla02100";
    static char* argv[] = {arg0, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

std::string PastaRelatorios() {
    garanteAplicacaoGui();
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileInfo info(docs);
    if (!docs.isEmpty() && info.isDir() && info.isWritable()) return docs.toStdString();
    return QDir::tempPath().toStdString();
}

void EscrevePdf(const std::string& html, const std::string& path, const std::string& titulo) {
    garanteAplicacaoGui();
    const QString file = QString::fromStdString(path);
    {
        QPdfWriter writer(file);
        writer.setTitle(QString::fromStdString(titulo));
        writer.setCreator(QStringLiteral("PLA02100"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        QTextDocument doc;
        doc.setHtml(QString::fromStdString(html));
        doc.print(&writer);
    }
    QFileInfo out(file);
    if (!out.exists() || out.size() == 0) throw Exception("Não foi possível gravar o relatório em " + path + ".");
}

}  // namespace pla02100
