// The mail lister's processing of the marked mail.
#include "VLMailLister.h"

bool VLMailLister::processMail() {
    return false;
}
