#include "store/DemoRequisitions.h"

#include "store/DemoData.h"
#include "store/Sequences.h"

#include <vector>

namespace store::demo {

namespace {

struct Portion {
    const char* type;
    const char* dish;  // shared dishes (CDFILAUXPRAT "P")
    const char* tree;
    double quantity;
};

void menuAndRequisition(db::SqlConnection& c, TDateTime day, const std::vector<Portion>& menu,
                        const std::vector<Portion>& requisition) {
    const std::string f = kBranchLocations, s = kServiceDishLocked;
    const std::string nr = NextCode(c, f, kSeqCardapio);
    c.Execute("INSERT INTO CARDAPIO (CDFILIAL, NRCARDAPIO, CDSERVFILI, DTCARDAPIO) VALUES (:F, :N, :S, :D)",
              {{"F", f}, {"N", nr}, {"S", s}, {"D", day}});
    for (const Portion& m : menu)
        c.Execute("INSERT INTO ITCARDAPIO (CDFILIAL, NRCARDAPIO, CDTIPOPRAT, CDFILAUXPRAT, CDPRATO) VALUES (:F, :N, :T, 'P', :P)",
                  {{"F", f}, {"N", nr}, {"T", m.type}, {"P", m.dish}});
    c.Execute("INSERT INTO PREVRETI (CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, IDPREVTPPRAT)"
              " VALUES (:F, :S, :D, '0000000000', 'S')",
              {{"F", f}, {"S", s}, {"D", day}});
    int item = 0;
    for (const Portion& r : requisition)
        c.Execute("INSERT INTO ITPREVRETI (CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, NRSEQUITEM, CDPRODUTO,"
                  " CDTIPOPRAT, CDFILAUXPRAT, CDPRATO, QTPREVISRETI)"
                  " SELECT :F, :S, :D, '0000000000', :I, CDPRODUTO, :T, 'P', :P, :Q FROM PRODUTO WHERE CDARVPROD = :A",
                  {{"F", f}, {"S", s}, {"D", day}, {"I", FormatNumber(++item, 4)}, {"T", r.type}, {"P", r.dish},
                   {"Q", r.quantity}, {"A", r.tree}});
}

}  // namespace

void LoadRequisitionPaths(db::SqlConnection& c, TDateTime today) {
    c.Execute("UPDATE PARAMESTOQUE SET IDORDEREQU = 'A', NRNIVEREQU = '2' WHERE CDFILIAL = :F",
              {{"F", kSubgroupLevelBranch}});
    // The dish rows of the withdrawal would not be the menu's: refused.
    menuAndRequisition(c, IncDay(today.DateOnly(), kLockedDishesDiffer),
                       {{"01", "01001", nullptr, 0}, {"02", "02002", nullptr, 0}},
                       {{"01", "01002", "0103001", 4}, {"02", "02001", "0102001", 6}});
    // The menu's dishes; rice twice in one dish is one item of 7.5.
    menuAndRequisition(c, IncDay(today.DateOnly(), kLockedDishesAgree),
                       {{"01", "01001", nullptr, 0}, {"03", "03001", nullptr, 0}},
                       {{"01", "01001", "0103001", 3}, {"03", "03001", "0101001", 5}, {"03", "03001", "0101001", 2.5},
                        {"03", "03001", "0105003", 1}});
    // Extra requisitions the generator's withdrawals use.
    c.Execute("INSERT INTO USOREQUEXTR (CDFILIAL, NRREQUEXTR, NRLANCESTQ)"
              " SELECT CDFILIMOVI, NRREQUEXTRRE, MIN(NRLANCESTQ) FROM LANCTOEST WHERE NRREQUEXTRRE <> '0000000000'"
              " GROUP BY CDFILIMOVI, NRREQUEXTRRE");
}

}  // namespace store::demo
