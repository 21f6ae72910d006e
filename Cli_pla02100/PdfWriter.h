#pragma once
// Renders an HTML page into a PDF file with Qt's PDF writer (A4 landscape,
// paginated by Qt's text layout).
#include <string>

namespace pla02100 {

// Writes `html` to `path`. Creates a Qt GUI application when the process has
// none (on the "offscreen" platform unless QT_QPA_PLATFORM says otherwise),
// kept for the process's life. Throws Exception when the file cannot be written or when the
// process runs a Qt application without GUI support.
void EscrevePdf(const std::string& html, const std::string& path, const std::string& titulo);

// Where reports go: the user's documents folder when it exists and can be
// written to, else the temporary folder. Needs the GUI application (made as above).
std::string PastaRelatorios();

}  // namespace pla02100
