// The mail lister's commands on rows.
#include "VLMailLister.h"

void VLMailLister::slotCurrentCell(int, int) {}
void VLMailLister::slotValueChanged(int, int) {}
void VLMailLister::slotPreviewMessage() {}
void VLMailLister::slotLearningChanged(DataEmailStatus::Bayes, bool) {}
void VLMailLister::slotAddToBlacklist() {}
void VLMailLister::slotAddToFriends() {}
void VLMailLister::slotAddDomainToBlacklist() {}
void VLMailLister::slotAddDomainToFriends() {}
void VLMailLister::slotMarForDeletion() {}
void VLMailLister::slotMarkForBouncing() {}
void VLMailLister::slotViewCompleteHeader() {}
void VLMailLister::slotMarkAllForDeletion() {}
void VLMailLister::slotMarkAllForBouncing() {}
void VLMailLister::slotSelectAllEmails() {}
void VLMailLister::slotClearMessageList() {}
