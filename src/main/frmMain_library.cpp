// The parameter library and the comparison with a file, in the menu "工具(&T)".
#include "main/frmMain.h"

#include "library/frmCompare.h"
#include "library/frmLibrary.h"
#include "protocol/ResponseText.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>

#include <stdexcept>
#include <utility>

namespace {

// Opens a dialog beside the window, modal to it, and forgets it once closed.
template <class Dialog> Dialog* shown(Dialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

} // namespace

TfrmLibrary* TfrmMain::mLibraryClick() {
    return shown(new TfrmLibrary(library_, *this, boxes_, this));
}

void TfrmMain::mCompareClick() {
    const QString file = QFileDialog::getOpenFileName(this, tr("与文件比较"), library_.Folder(),
                                                      tr("参数文件 (*.ini *.json);;所有文件 (*)"));
    if (!file.isEmpty())
        CompareWithFile(file);
}

TfrmCompare* TfrmMain::CompareWithFile(const QString& file) {
    // The file is checked before the splicer is asked anything.
    const params::SetFile set =
        params::ParseSetFile(QFileInfo(file).fileName(), params::ReadSetFileAt(file));
    if (!link_.Connected())
        throw std::runtime_error(tr("没有连接熔接机：先连接设备，再比较").toStdString());
    const SplicerLink::Ticket ticket = link_.Begin();
    // The block a later save records stays until a new one arrives: a splicer that does not
    // answer leaves the saves their [Device] record.
    const QByteArray previous = std::exchange(lastBlock_, {});
    // The read the read button sends; its answer fills the fields as every answer does. A slow
    // answer is awaited a little longer than the read's own wait.
    link_.QueryParams();
    for (int waited = 100; lastBlock_.isEmpty() && waited < 1000 && !ticket.Dropped();
         waited += 100)
        link_.Wait(100);
    if (ticket.Dropped())
        return nullptr;
    if (lastBlock_.isEmpty()) {
        if (link_.Connected())
            lastBlock_ = previous;
        throw std::runtime_error(tr("熔接机没有应答参数读取").toStdString());
    }
    return shown(new TfrmCompare(QFileInfo(file).fileName(), set, link_.State().FirmwareVersion,
                                 lastBlock_, *this, this));
}

QByteArray TfrmMain::FieldsAsSetFile() const {
    // A field that is not an integer stops the save here, as it stops a write.
    params::BlockFromSet(*this);
    QString text;
    if (link_.Connected() && !lastBlock_.isEmpty()) {
        const DeviceState& state = link_.State();
        text = params::DeviceSectionText({state.FirmwareVersion, lastBlock_}) +
               params::DeviceFactsText(
                   {DeviceIdText(state.DeviceId), state.FusionCount, QDateTime::currentDateTime()});
    }
    return (text + params::ParamSectionText(*this)).toUtf8();
}

std::optional<uint16_t> TfrmMain::TargetFirmware() const {
    return link_.Connected() ? std::optional(link_.State().FirmwareVersion) : std::nullopt;
}

void TfrmMain::LoadIntoFields(const params::ConvertedSet& set) {
    ResetParamColours();
    for (const params::Field& f : params::kFields) {
        const params::ConvertedField& value = set[params::IndexOf(f)];
        if (!value.supplied)
            continue;
        const QString text = QString::number(value.value);
        MarkField(control(f.control), text);
        SetText(f, text);
    }
}
