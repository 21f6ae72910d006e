// The module's entry: finds the browse list the user sees and prints it.
#include "Cli_pla02100/Pla02100.h"

#include "Cli_pla02100/PdfWriter.h"
#include "core/Exception.h"
#include "core/Text.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"

namespace {

// The browse list behind the screen's grid; null when the screen is not open.
TDataSet* listaDaTela() {
    auto* grid = dynamic_cast<TDBGrid*>(Application().FindComponentPath("frmRetirada.dbgPadrao"));
    if (!grid || !grid->DataSource()) return nullptr;
    return grid->DataSource()->DataSet();
}

}  // namespace

extern "C" void IniProcParam(const Variant* params) {
    const std::string p = params && params->IsString() ? text::Trim(params->AsString()) : std::string();
    if (!text::SameText(p, "M"))
        throw Exception("Parâmetro de impressão não reconhecido: \"" + p + "\".");
    TDataSet* lista = listaDaTela();
    if (!lista) throw Exception("A tela de retirada não está aberta.");
    pla02100::ImprimeRetiradas(*lista, pla02100::PastaRelatorios());
}
