// Items the server left out of stock: the offer to post them before the user
// leaves a withdrawal. The offer belongs with the stock update that answers
// it (the "Atualizar Estoque" command, retirada::Comando::AtuaEstoque): until
// that command is built there is nothing the user could accept, so leaving a
// withdrawal asks nothing and no server method that does not exist yet is
// called. The stock update's step writes the offer here with the command.
#include "Cli_pla02000/Retirada.h"

void TfrmRetirada::VerifItens() {}
