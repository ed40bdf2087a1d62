#include "connhelp/frmConnectionHelp.h"

#include "ch341/PortSurvey.h"
#include "errors/HandlerRunner.h"
#include "protocol/ResponseText.h"
#include "protocol/SplicerLink.h"
#include "ui_frmConnectionHelp.h"

#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

TfrmConnectionHelp* TfrmConnectionHelp::Open(SplicerLink& link, const ch341::TPortMap& ports,
                                             Search search, QWidget* owner) {
    auto* help = owner->findChild<TfrmConnectionHelp*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new TfrmConnectionHelp(link, ports, std::move(search), owner);
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}

TfrmConnectionHelp::TfrmConnectionHelp(SplicerLink& link, const ch341::TPortMap& ports,
                                       Search search, QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TfrmConnectionHelp>()), link_(link), ports_(ports),
      search_(std::move(search)) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    QHeaderView* header = ui->twPorts->header();
    for (int column = 0; column < 3; ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    connect(ui->btnRecheck, &QPushButton::clicked, this,
            [this] { RunHandler([this] { Survey(); }); });
    connect(ui->btnConnect, &QPushButton::clicked, this,
            [this] { RunHandler([this] { btnConnectClick(); }); });
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::close);
    Survey();
}

TfrmConnectionHelp::~TfrmConnectionHelp() = default;

QString TfrmConnectionHelp::connectionText() const {
    if (!link_.Connected())
        return tr("没有连接熔接机。下表是搜索会试的端口及其状况；改好后按“连接设备”再搜索。");
    const DeviceState& state = link_.State();
    const std::string port = link_.ComPort().Port();
    return tr("已连接：%1（%2），熔接机 %3，固件 %4")
        .arg(QString::fromStdString(port), QString::fromStdString(link_.ComPort().PortPath()),
             DeviceIdText(state.DeviceId), VersionText(state.FirmwareVersion));
}

void TfrmConnectionHelp::Survey() {
    ui->lblConnection->setText(connectionText());
    const QString connectedPath =
        link_.Connected() ? QString::fromStdString(link_.ComPort().PortPath()) : QString();
    ui->twPorts->clear();
    for (const ch341::TPortReport& report :
         ch341::SurveyPorts(ports_, ch341::TSysfsLayout{}, ch341::BrlttyInstalled())) {
        // The window's own port is held by the window: no other program to close.
        const QString state = !connectedPath.isEmpty() && report.path == connectedPath
                                  ? tr("本程序已连接在这里")
                                  : ch341::PortStateText(report.state, report.path);
        auto* item = new QTreeWidgetItem(
            ui->twPorts,
            {report.comNumber ? QStringLiteral("COM%1").arg(report.comNumber) : QStringLiteral("-"),
             report.path.isEmpty() ? QStringLiteral("-") : report.path,
             ch341::PortSourceText(report), state});
        item->setToolTip(3, state);
    }
    if (ui->twPorts->topLevelItemCount() == 0)
        new QTreeWidgetItem(ui->twPorts, {QStringLiteral("-"), QStringLiteral("-"),
                                          QStringLiteral("-"), ch341::NoCandidateText()});
}

void TfrmConnectionHelp::btnConnectClick() {
    // Looks again however the search ended (its error goes on to the error display), unless
    // the dialog was closed meanwhile.
    const QPointer<TfrmConnectionHelp> self(this);
    const auto again = qScopeGuard([self] {
        if (self)
            self->Survey();
    });
    search_();
}
