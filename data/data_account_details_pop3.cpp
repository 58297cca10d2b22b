#include "data_account_details_pop3.h"

DataAccountDetailsPOP3::DataAccountDetailsPOP3() {
    Data::name = "DataAccountDetailsPOP3";
}
