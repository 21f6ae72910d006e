#pragma once
// The message catalog msgPadrao of TfrmRetirada (130 entries), kept in
// msgPadrao.txt beside this file and compiled into the library.
#include "data/Catalog.h"

#include <string_view>
#include <vector>

namespace model {

// The resource text as TMessages loads it ("key|text" lines).
std::string_view MsgPadraoRetiradaResource();
// The entries in catalog order.
std::vector<CatalogEntry> MsgPadraoRetirada();

}  // namespace model
