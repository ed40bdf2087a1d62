#include "main/frmMain.h"

#include "connhelp/frmConnectionHelp.h"
#include "errors/HandlerRunner.h"
#include "main/SpinEdit.h"
#include "main/WindowGuards.h"
#include "monitor/frmMonitor.h"
#include "protocol/CommandTable.h"
#include "protocol/FrameView.h"
#include "record/RecordText.h"
#include "ui_frmMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QScreen>

TfrmMain* frmMain = nullptr;

namespace {

// Posted by the notification routine; carries the notification's value.
class DeviceNotifyEvent : public QEvent {
public:
    explicit DeviceNotifyEvent(int32_t value) : QEvent(TfrmMain::MSG_CH341_EVENT), value(value) {}
    const int32_t value;
};

// Runs FormShow once the window is on screen.
const QEvent::Type kFormShowEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

TfrmMain::TfrmMain(TfrmMainServices services, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TfrmMain>()), boxes_(services.boxes),
      driverInstaller_(services.places.driverInstaller), ports_(services.ports),
      link_(services.boxes, services.converter, &TfrmMain::DeviceNotifyCallback,
            std::move(services.wait)),
      serviceDb_(services.places.serviceRecord), library_(services.places.setsFolder) {
    frmMain = this;
    ui->setupUi(this);
    // The ranges live with the fields' table, which the command line checks a set against too.
    for (const params::Field& f : params::kFields)
        if (auto* spin = qobject_cast<TSpinEdit*>(control(f.control))) {
            spin->setMinimum(f.minimum);
            spin->setMaximum(f.maximum);
        }
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    HidePageFromUser(*ui->PageControl, *ui->tabCalibrate);
    ui->PageControl->setCurrentWidget(ui->tabFuseParam);
    // The service list: each command with an item, carrying its code.
    for (const frames::CommandRow& row : frames::kCommands)
        if (*row.serviceItem)
            ui->cbCommand->addItem(QCoreApplication::translate("ServiceList", row.serviceItem),
                                   row.code);
    ui->cbCommand->setCurrentIndex(-1);
    KeepListToItems(*ui->cbCommand);

    connectHandlers();
    connectLink();
    // An error here must not stop the window from existing and being shown.
    RunStartupHandler([this] { FormCreate(); });
}

TfrmMain::~TfrmMain() {
    if (frmMain == this)
        frmMain = nullptr;
}

void TfrmMain::connectHandlers() {
    const auto bind = [this](auto* sender, auto signal, void (TfrmMain::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
    };
    bind(ui->btnWrite, &QPushButton::clicked, &TfrmMain::btnWriteClick);
    bind(ui->btnRead, &QPushButton::clicked, &TfrmMain::btnReadClick);
    bind(ui->btnOpen, &QPushButton::clicked, &TfrmMain::btnOpenClick);
    bind(ui->btnSave, &QPushButton::clicked, &TfrmMain::btnSaveClick);
    bind(ui->btnGetDefault, &QPushButton::clicked, &TfrmMain::btnGetDefaultClick);
    bind(ui->btnFireTest, &QPushButton::clicked, &TfrmMain::btnFireTestClick);
    bind(ui->btnUDRest, &QPushButton::clicked, &TfrmMain::btnUDRestClick);
    bind(ui->btnUDSetRST, &QPushButton::clicked, &TfrmMain::btnUDSetRSTClick);
    bind(ui->btnSend, &QPushButton::clicked, &TfrmMain::btnSendClick);
    bind(ui->btnCaliWrite, &QPushButton::clicked, &TfrmMain::btnCaliWriteClick);
    bind(ui->btnCaliRead, &QPushButton::clicked, &TfrmMain::btnCaliReadClick);
    // The check mark belongs to the connection, not to the click: undo the toggle first.
    connect(ui->actDevConnect, &QAction::triggered, this,
            [this] { ui->actDevConnect->setChecked(!ui->actDevConnect->isChecked()); });
    bind(ui->actDevConnect, &QAction::triggered, &TfrmMain::actDevConnectExecute);
    bind(ui->actDevDisConnect, &QAction::triggered, &TfrmMain::actDevDisConnectExecute);
    bind(ui->mExit, &QAction::triggered, &TfrmMain::mExitClick);
    bind(ui->mAbout, &QAction::triggered, &TfrmMain::mAboutClick);
    connect(ui->mTraffic, &QAction::triggered, this, [this] {
        RunHandler([this] {
            // Never over the buttons the technician works with while watching.
            TfrmMonitor::Open(
                history_, this,
                QRect(ui->GroupBox8->mapToGlobal(QPoint(0, 0)), ui->GroupBox8->size()));
        });
    });
    connect(ui->mLibrary, &QAction::triggered, this,
            [this] { RunHandler([this] { mLibraryClick(); }); });
    bind(ui->mCompare, &QAction::triggered, &TfrmMain::mCompareClick);
    connect(ui->mConnectionHelp, &QAction::triggered, this, [this] {
        RunHandler([this] {
            TfrmConnectionHelp::Open(
                link_, ports_, [this] { actDevConnectExecute(); }, this);
        });
    });
    bind(ui->mRecord, &QAction::triggered, &TfrmMain::mRecordClick);
}

void TfrmMain::connectLink() {
    connect(&link_, &SplicerLink::paramsReceived, this, &TfrmMain::ShowParamAnswer);
    connect(&link_, &SplicerLink::versionReported, this, &TfrmMain::showVersion);
    connect(&link_, &SplicerLink::deviceInfoChanged, this, &TfrmMain::showDeviceInfo);
    connect(&link_, &SplicerLink::environmentReported, this,
            [this](const QString& text) { SetStatusText(2, text); });
    connect(&link_, &SplicerLink::deviceConnected, this, &TfrmMain::showConnected);
    connect(&link_, &SplicerLink::deviceDisconnected, this, &TfrmMain::showDisconnected);
    // What a set saved from the fields records of the splicer: the block as it answered.
    connect(&link_, &FrameFeed::frameReceived, this, [this](const QByteArray& frame) {
        if (const auto answer = frames::FrameView::Answer(frame);
            answer && answer->code == frames::AnsParams)
            lastBlock_ = answer->payload.left(FusionParams::kSize);
    });
    connect(&link_, &SplicerLink::deviceDisconnected, this, [this] { lastBlock_.clear(); });
    connect(&link_, &SplicerLink::searchFailed, this, &TfrmMain::showSearchFailed);
    recorder_.Follow(link_);
    connect(&recorder_, &record::TRecorder::recorded, this, [this](const record::Operation& o) {
        lastRecorded_ = record::Summary(o);
        showNote();
    });
    const auto noteFault = [this](const QString& text) {
        lastRecorded_ = text;
        showNote();
    };
    connect(&recorder_, &record::TRecorder::fault, this, noteFault);
    connect(&recorder_, &record::TRecorder::recorded, &teamSync_, &teamrecord::TTeamSync::Nudge);
    connect(&teamSync_, &teamrecord::TTeamSync::fault, this, noteFault);
    teamSync_.Start();
}

bool TfrmMain::event(QEvent* e) {
    if (e->type() == MSG_CH341_EVENT) {
        const int32_t value = static_cast<DeviceNotifyEvent*>(e)->value;
        RunHandler([this, value] { MSG_CH341(value); });
        return true;
    }
    if (e->type() == kFormShowEvent) {
        RunHandler([this] { FormShow(); });
        return true;
    }
    return QMainWindow::event(e);
}

void TfrmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    // After the first paint, so the window is on screen while the search runs.
    QCoreApplication::postEvent(this, new QEvent(kFormShowEvent), Qt::LowEventPriority);
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    RunHandler([this] { FormClose(); });
    QMainWindow::closeEvent(e);
}

void TfrmMain::DeviceNotifyCallback(int32_t value) {
    if (TfrmMain* window = frmMain)
        QCoreApplication::postEvent(window, new DeviceNotifyEvent(value));
}

QString TfrmMain::StatusText(int panel) const {
    const QLabel* panels[] = {ui->StatusPanel0, ui->StatusPanel1, ui->StatusPanel2};
    return panels[panel]->text();
}

void TfrmMain::SetStatusText(int panel, const QString& text) {
    QLabel* panels[] = {ui->StatusPanel0, ui->StatusPanel1, ui->StatusPanel2};
    panels[panel]->setText(text);
}

QString TfrmMain::StatusNote() const {
    return ui->StatusPanel3->text();
}

void TfrmMain::SetStatusNote(const QString& text) {
    ui->StatusPanel3->setText(text);
}

QWidget* TfrmMain::control(const char* name) const {
    return ui->GroupBox1->findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

QCheckBox* TfrmMain::checkBox(const char* name) const {
    return qobject_cast<QCheckBox*>(control(name));
}

QString TfrmMain::fieldText(const char* name) const {
    return static_cast<TSpinEdit*>(control(name))->text();
}

void TfrmMain::setFieldText(const char* name, const QString& text) {
    static_cast<TSpinEdit*>(control(name))->setText(text);
}
