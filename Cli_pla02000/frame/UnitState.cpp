// The unit's variables and the list of connection use counts.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"

RetiradaUnit& Pla02000Unit() {
    static RetiradaUnit unit;
    return unit;
}

void ResetPla02000Unit() {
    RetiradaUnit& u = Pla02000Unit();
    if (u.frmRetirada) throw Exception("A tela de retirada ainda existe.");
    u = RetiradaUnit{};
}

int TConnectionCounts::Count(const std::string& name) const {
    for (const auto& [n, c] : entries_)
        if (n == name) return c;
    return 0;
}

bool TConnectionCounts::Has(const std::string& name) const {
    for (const auto& e : entries_)
        if (e.first == name) return true;
    return false;
}

void TConnectionCounts::Set(const std::string& name, int count) {
    for (auto& e : entries_)
        if (e.first == name) {
            e.second = count;
            return;
        }
    entries_.emplace_back(name, count);
}

std::vector<std::string> TConnectionCounts::Lines() const {
    std::vector<std::string> out;
    for (const auto& [n, c] : entries_) out.push_back(n + "=" + std::to_string(c));
    return out;
}
