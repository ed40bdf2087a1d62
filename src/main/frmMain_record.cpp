// The service record: the window's parameter set as a record keeps it, and the record window.
#include "main/frmMain.h"

#include "record/RecordText.h"
#include "record/frmRecord.h"

QJsonObject TfrmMain::windowSet() const {
    QJsonObject set;
    for (const auto& [key, value] : params::SavedEntries(*this))
        set.insert(key, value);
    return set;
}

void TfrmMain::mRecordClick() {
    // The team's records while its server answers, this computer's own otherwise; the title says
    // which.
    const bool team = teamSync_.TeamReachable();
    const QString title = team ? tr("服务记录（团队服务器）") : tr("服务记录（本机）");
    // One open on the other record gives way.
    if (auto* open = findChild<TfrmRecord*>(QString(), Qt::FindDirectChildrenOnly);
        open && open->windowTitle() != title)
        delete open;
    TfrmRecord::Open(team ? teamDb_ : serviceDb_, this)->setWindowTitle(title);
}
