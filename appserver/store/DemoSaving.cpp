#include "store/DemoSaving.h"

#include "store/DemoData.h"

namespace store::demo {

void LoadDemoSaving(db::SqlConnection& c, TDateTime today) {
    const char* sql = "INSERT INTO EFETIVOSERV (CDFILIAL, CDSERVFILI, DTEFETIVO, QTEFETIVO, IDFATURADO)"
                      " VALUES (:F, :S, :D, :Q, :B)";
    c.Execute(sql, {{"F", kBranchPlain}, {"S", kServicePlain}, {"D", today.DateOnly()}, {"Q", 120.0}, {"B", "S"}});
    c.Execute(sql, {{"F", kBranchLocations}, {"S", kServicePlain}, {"D", IncDay(today.DateOnly(), -1)}, {"Q", 95.0},
                    {"B", "N"}});
}

}  // namespace store::demo
