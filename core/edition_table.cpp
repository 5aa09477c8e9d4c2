#include "core/edition_table.h"

namespace {

const EditionRow kEditionTable[] = {
    {"0", "0", "\\Kestrova Site", "\\Kestrova Client\\",
     "\\Kestrova Client\\Client\\maintain\\Setup.xml.benchmark"},
    {"0", "1", "\\Kestrova AC", "\\Kestrova AC Client\\",
     "\\Kestrova AC Client\\Client\\maintain\\Setup.xml.benchmark"},
    {"0", "2", "\\Kestrova VS", "\\Kestrova VS Client\\",
     "\\Kestrova VS Client\\Client\\maintain\\Setup.xml.benchmark"},
    {"1", "0", "\\Palomind Site", "\\Palomind Client\\",
     "\\Palomind Client\\Client\\maintain\\Setup.xml.benchmark"},
    {"1", "1", "\\Palomind AC", "\\Palomind AC Client\\",
     "\\Palomind AC Client\\Client\\maintain\\Setup.xml.benchmark"},
    {"1", "2", "\\Palomind VS", "\\Palomind VS Client\\",
     "\\Palomind VS Client\\Client\\maintain\\Setup.xml.benchmark"},
};

}  // namespace

const EditionRow* FindEditionRow(const std::string& brand, const std::string& productType) {
    for (const EditionRow& row : kEditionTable) {
        if (brand == row.brandFlag && productType == row.productTypeFlag) return &row;
    }
    return nullptr;
}
