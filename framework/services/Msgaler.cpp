#include "services/Msgaler.h"

#include "core/Exception.h"

namespace Tmsgaler {

int MsgAlertEx(const std::string& text, TMsgDlgType type, const std::vector<std::string>& captions, int number, int,
               int) {
    if (captions.size() < 2 || captions.size() > 3)
        throw Exception("O diálogo de opções precisa de dois ou três botões.");
    return Dialogs().OptionDialog(text, type, captions, number);
}

}  // namespace Tmsgaler
