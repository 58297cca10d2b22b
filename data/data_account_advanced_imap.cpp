#include "data_account_advanced_imap.h"

DataAccountAdvancedIMAP::DataAccountAdvancedIMAP() {
    name = "DataAccountAdvancedIMAP";
}
