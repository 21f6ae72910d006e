#pragma once
// Demo data for item entry: products whose stock, minimum, conversion factor,
// lots and bar codes make each check of an item reachable by hand
// (docs/demo-items.md). Loaded after the rest of the demo data; the codes are
// fixed.
#include "db/SqlConnection.h"

namespace store::demo {

// Tree codes of the item products (group 0107, CONSERVAS E FERMENTOS).
inline constexpr const char* kItemStock5 = "0107001";       // MILHO VERDE: stock 5 KG in 0001, 0002, 0003
inline constexpr const char* kItemMinimum = "0107002";      // EXTRATO DE TOMATE: stock 10, minimum 4
inline constexpr const char* kItemNoMovement = "0107003";   // ERVILHA: never moved
inline constexpr const char* kItemFactor = "0107004";       // FERMENTO: KG kept in grams (factor 1000), 5 KG
inline constexpr const char* kItemLots = "0107005";         // QUEIJO PARMESÃO: in 0001 lot L0107005, sub-lots 01 (3) and 02 (4)
inline constexpr const char* kBarCodeStock5 = "7891000100013";   // MILHO VERDE
inline constexpr const char* kBarCodeMinimum = "7891000100020";  // EXTRATO DE TOMATE

// Writes the item products into a database that holds the demo data (after
// LoadDemoData, in one transaction). Throws db::SqlError on a database failure.
void LoadDemoItems(db::SqlConnection& conn, TDateTime today);

}  // namespace store::demo
