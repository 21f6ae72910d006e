#pragma once
// Number sequences per branch (table NUMSEQ): withdrawals, postings, menus,
// ledger movements. Numbers are issued inside the caller's transaction, so a
// rolled-back call gives its number back (which a database sequence would
// not; hence rows, not CREATE SEQUENCE). Issuing a number locks the
// sequence's row until that transaction ends: on PostgreSQL concurrent
// writers of one sequence queue there and each gets the next number.
#include "db/SqlConnection.h"

#include <cstdint>
#include <string>

namespace store {

// Well-known sequence names.
inline constexpr const char* kSeqRetirada = "RETIRADA";     // NRRETIRADA
inline constexpr const char* kSeqLanctoEst = "LANCTOEST";   // NRLANCESTQ
inline constexpr const char* kSeqCardapio = "CARDAPIO";     // NRCARDAPIO
inline constexpr const char* kSeqMovimento = "MOVIESTQ";    // MOVIESTQ.NRMOVIESTQ
inline constexpr const char* kSeqRequisicao = "REQUEXTR";   // extra requisition numbers

// The statement that takes the next number of sequence :CDSEQUENCIA of branch
// :CDFILIAL (1 for a new sequence), for a caller that reads the number in a
// later statement of the same transaction. The row stays locked until the
// transaction ends, so two writers cannot take the same number.
const std::string& NextNumberSql();
// The next number of the branch's sequence (1 for a new sequence).
int64_t NextNumber(db::SqlConnection& conn, const std::string& branch, const std::string& sequence);
// The number as a document code: zero-padded to width; throws Exception when it does not fit.
std::string FormatNumber(int64_t number, int width = 10);
// NextNumber formatted with FormatNumber.
std::string NextCode(db::SqlConnection& conn, const std::string& branch, const std::string& sequence, int width = 10);

}  // namespace store
