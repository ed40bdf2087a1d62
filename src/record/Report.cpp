#include "record/Report.h"

#include "protocol/ResponseText.h"
#include "record/RecordText.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace record {
namespace {

QString esc(const QString& text) {
    return text.toHtmlEscaped();
}

QString cells(const QStringList& values, const char* tag = "td") {
    QString row = QStringLiteral("<tr>");
    for (const QString& v : values)
        row += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), esc(v));
    return row + QStringLiteral("</tr>");
}

QString table(const QStringList& head, const QList<QStringList>& rows) {
    QString html =
        QStringLiteral("<table border='1' cellspacing='0' cellpadding='3' width='100%'>");
    html += cells(head, "th");
    for (const QStringList& r : rows)
        html += cells(r);
    return html + QStringLiteral("</table>");
}

QString when(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t"));
}

} // namespace

bool WantsPdf(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}

QString ReportHtml(const ReportData& data) {
    const Visit& v = data.visit;
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h2>%1</h2>")
                .arg(esc(QCoreApplication::translate("ServiceReport", "熔接机服务报告")));
    const QList<QStringList> facts = {
        {QCoreApplication::translate("ServiceReport", "设备ID"), DeviceText(v.stamp.deviceId)},
        {QCoreApplication::translate("ServiceReport", "固件版本"), VersionText(v.firmware)},
        {QCoreApplication::translate("ServiceReport", "熔接次数"), QString::number(v.fusionCount)},
        {QCoreApplication::translate("ServiceReport", "日期和时间"), when(v.stamp.time)},
        {QCoreApplication::translate("ServiceReport", "技术员"), data.technician},
        {QCoreApplication::translate("ServiceReport", "端口"), v.stamp.port},
        {QCoreApplication::translate("ServiceReport", "程序版本"),
         QStringLiteral("Spliceon %1").arg(v.stamp.program)},
    };
    html += QStringLiteral("<table cellpadding='2'>");
    for (const QStringList& f : facts)
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(esc(f[0]), esc(f[1]));
    html += QStringLiteral("</table>");

    html += QStringLiteral("<h3>%1</h3>")
                .arg(esc(QCoreApplication::translate("ServiceReport", "操作")));
    QList<QStringList> ops;
    QList<QStringList> changed;
    for (const Operation& o : data.operations) {
        ops << QStringList{o.stamp.time.toString(QStringLiteral("HH:mm:ss")), KindCaption(o.kind),
                           OutcomeCaption(o), DetailText(o)};
        if (o.kind != Kind::Write)
            continue;
        const QString verified = o.outcome == Outcome::Verified
                                     ? QCoreApplication::translate("ServiceReport", "已核对")
                                     : QCoreApplication::translate("ServiceReport", "未核对");
        for (const FieldChange& c : WriteChanges(o))
            changed << QStringList{c.caption, c.unit, c.before, c.after, verified};
    }
    html += table({QCoreApplication::translate("ServiceReport", "时间"),
                   QCoreApplication::translate("ServiceReport", "操作"),
                   QCoreApplication::translate("ServiceReport", "结果"),
                   QCoreApplication::translate("ServiceReport", "说明")},
                  ops);
    html += QStringLiteral("<h3>%1</h3>")
                .arg(esc(QCoreApplication::translate("ServiceReport", "改变的参数")));
    if (changed.isEmpty())
        html += QStringLiteral("<p>%1</p>")
                    .arg(esc(QCoreApplication::translate("ServiceReport", "没有写入参数。")));
    else
        html += table({QCoreApplication::translate("ServiceReport", "参数"),
                       QCoreApplication::translate("ServiceReport", "单位"),
                       QCoreApplication::translate("ServiceReport", "之前"),
                       QCoreApplication::translate("ServiceReport", "之后"),
                       QCoreApplication::translate("ServiceReport", "核对")},
                      changed);
    return html + QStringLiteral("</body></html>");
}

QByteArray ReportBytes(const ReportData& data, bool pdf) {
    QTextDocument document;
    document.setHtml(ReportHtml(data));
    if (!pdf)
        return document.toHtml().toUtf8();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(QCoreApplication::translate("ServiceReport", "熔接机服务报告"));
        writer.setCreator(QStringLiteral("Spliceon"));
        document.print(&writer);
    }
    return buffer.data();
}

} // namespace record
