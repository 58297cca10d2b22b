#include "data_account_details_imap.h"

DataAccountDetailsIMAP::DataAccountDetailsIMAP() {
    Data::name = "DataAccountDetailsIMAP";
}
