#include "cli/TextFormat.h"

#include "protocol/PrintableText.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace cli {
namespace {

QString probeText(const TProbeResult& probe) {
    switch (probe.outcome) {
    case TProbeResult::Outcome::Answered:
        return probe.firmware
                   ? QCoreApplication::translate("TextFormat", "熔接机应答，固件 %1")
                         .arg(VersionText(*probe.firmware, QLocale::c()))
                   : QCoreApplication::translate("TextFormat", "熔接机应答，没有报告固件版本");
    case TProbeResult::Outcome::Silent:
        break;
    case TProbeResult::Outcome::Failed:
        return QCoreApplication::translate("TextFormat", "握手失败：%1").arg(probe.error);
    }
    return QCoreApplication::translate("TextFormat", "没有熔接机应答");
}

// When the set was read, in the header.
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString setHeader(const TDeviceInfo& device, const QDateTime& when) {
    // The identifier is the splicer's bytes, escaped (DeviceIdText): nothing in it ends the
    // comment line or steers a terminal; filled in one pass, so a "%3" in it stays as it is.
    return QCoreApplication::translate("TextFormat",
                                       "; 设备ID：%1\n; 固件版本：%2\n; 熔接次数：%3\n; 日期：%4\n")
        .arg(device.id, VersionText(device.firmware, QLocale::c()),
             QString::number(device.fusionCount), when.toString(kDateFormat));
}

} // namespace

QString TTextFormat::PortList(const std::vector<TPortReport>& reports) const {
    // A path from [ports] may hold any byte: escaped as the splicer's texts are, none steers
    // the terminal.
    const auto printable = [](const TPortReport& report) {
        return report.path.isEmpty() ? QStringLiteral("-") : PrintableText(report.path.toUtf8());
    };
    qsizetype pathWidth = 20;
    for (const TPortReport& report : reports)
        pathWidth = std::max(pathWidth, printable(report).size());
    QString text;
    for (const TPortReport& report : reports) {
        const QString com =
            report.comNumber ? QStringLiteral("COM%1").arg(report.comNumber) : QStringLiteral("-");
        const QString path = printable(report);
        text += QStringLiteral("%1 %2 %3 %4")
                    .arg(com.leftJustified(5), path.leftJustified(pathWidth),
                         ch341::PortSourceText(report).leftJustified(13),
                         ch341::PortStateText(report.state, path));
        if (report.probe)
            //: Joins what the probe found to the port's state.
            text += QCoreApplication::translate("TextFormat", "；%1").arg(probeText(*report.probe));
        text += '\n';
    }
    return text;
}

QString TTextFormat::ReadResult(const TReadResult& result) const {
    return setHeader(result.device, result.when) + params::DeviceSectionText(result.source) +
           params::DeviceFactsText({result.device.id, result.device.fusionCount, result.when}) +
           params::ParamSectionText(result.set);
}

QString TTextFormat::DiffResult(const TDiffResult& result) const {
    QString text;
    for (const params::CompareRow& row : result.rows)
        if (row.Differs())
            text += QStringLiteral("%1 %2 %3 %4\n")
                        .arg(QString::fromLatin1(row.field->key).leftJustified(18),
                             QString::fromLatin1(*row.field->unit ? row.field->unit : "-")
                                 .leftJustified(5),
                             row.splicer.leftJustified(5), row.file);
    return text;
}

} // namespace cli
