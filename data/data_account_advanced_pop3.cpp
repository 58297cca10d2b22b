#include "data_account_advanced_pop3.h"

DataAccountAdvancedPOP3::DataAccountAdvancedPOP3() {
    name = "DataAccountAdvancedPOP3";
}
