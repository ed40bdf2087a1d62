// The service record: the note panel telling the last operation recorded, and the record window.
#include "main/frmMain.h"

#include "record/RecordText.h"
#include "record/frmRecord.h"

void TfrmMain::showRecordNote() {
    QString note = lastRecorded_;
    if (link_.Connected()) {
        const QString id = record::DeviceText(link_.State().DeviceId);
        note +=
            QStringLiteral("  |  %1 %2").arg(QString::fromStdString(link_.ComPort().Port()), id);
    }
    SetStatusNote(note.trimmed());
}

QJsonObject TfrmMain::windowSet() const {
    QJsonObject set;
    for (const auto& [key, value] : params::SavedEntries(*this))
        set.insert(key, value);
    return set;
}

void TfrmMain::mRecordClick() {
    TfrmRecord::Open(serviceDb_, this);
}
