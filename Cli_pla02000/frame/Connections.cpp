// The use-counted server connections and their BeforeConnect handlers.
#include "Cli_pla02000/Retirada.h"

#include "services/Morvena.h"
#include "stocklib/Lib00200.h"

#include <algorithm>

void TfrmRetirada::ConnectServer(TNetConnection& conn, bool connect) {
    const std::string& key = conn.Name;
    if (!slConexoes.Has(key)) slConexoes.Set(key, 0);
    const int count = slConexoes.Count(key);
    if (connect) {
        // A failed open raises before the count moves.
        if (count == 0) conn.Open();
        slConexoes.Set(key, count + 1);
        return;
    }
    const int left = std::max(0, count - 1);
    slConexoes.Set(key, left);
    if (left == 0) conn.Close();
}

TConnectionUse TfrmRetirada::UsoConexao(TNetConnection& conn) {
    return TConnectionUse(conn, [this](TNetConnection& c, bool connect) { ConnectServer(c, connect); });
}

Variant TfrmRetirada::CallServer(TNetConnection& conn, const std::string& method, VariantArray& args) {
    TConnectionUse uso = UsoConexao(conn);
    return conn.Call(method, args);
}

Variant TfrmRetirada::CallServer(TNetConnection& conn, const std::string& method, VariantArray&& args) {
    return CallServer(conn, method, args);
}

namespace {
void serverAddress(TNetConnection& conn) {
    conn.Host = Morvena::WebURL();
    conn.Port = Morvena::WebPort();
}
}  // namespace

void TfrmRetirada::netRetiradaBeforeConnect(TNetConnection& conn) { serverAddress(conn); }
void TfrmRetirada::netEstoqueBeforeConnect(TNetConnection& conn) { serverAddress(conn); }
void TfrmRetirada::netInfoProdBeforeConnect(TNetConnection& conn) { serverAddress(conn); }
void TfrmRetirada::netAutorizaBeforeConnect(TNetConnection& conn) { serverAddress(conn); }

void TfrmRetirada::ConfirmaLiberacao(TDateTime data) {
    TConnectionUse estoque = UsoConexao(netEstoque);
    TConnectionUse autoriza = UsoConexao(netAutoriza);
    Lib00200::Confirma_Liberacao(netEstoque, netAutoriza, Filial(), data, Pla02000Unit().boAltLiberada);
}
