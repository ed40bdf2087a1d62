#include "teamrecord/ServerAddress.h"

#include "config/Config.h"
#include "teamrecord/TeamError.h"

#include <QCoreApplication>
#include <QUrl>
#include <QUrlQuery>

#include <utility>
#include <vector>

namespace teamrecord {
namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

[[noreturn]] void refuse(const QString& why) {
    throw ETeamRecord(
        QCoreApplication::translate("TeamRecord", "config.ini 的 [record] server= 不可用：%1")
            .arg(why));
}

// libpq's key/value form: key = value, the value bare or in single quotes with \ escapes.
Pairs keyValues(const QString& text) {
    Pairs pairs;
    qsizetype i = 0;
    const auto blanks = [&] {
        while (i < text.size() && text[i].isSpace())
            ++i;
    };
    while (true) {
        blanks();
        if (i >= text.size())
            return pairs;
        QString key;
        while (i < text.size() && !text[i].isSpace() && text[i] != '=')
            key += text[i++];
        blanks();
        if (key.isEmpty() || i >= text.size() || text[i] != '=')
            refuse(QCoreApplication::translate("TeamRecord", "“%1”后面缺少 =").arg(key));
        ++i;
        blanks();
        QString value;
        if (i < text.size() && text[i] == '\'') {
            for (++i; i < text.size() && text[i] != '\''; ++i)
                value += text[i] == '\\' && i + 1 < text.size() ? text[++i] : text[i];
            if (i++ >= text.size())
                refuse(QCoreApplication::translate("TeamRecord", "引号没有结束"));
        } else {
            while (i < text.size() && !text[i].isSpace())
                value += text[i++];
        }
        pairs.emplace_back(key, value);
    }
}

// postgresql://[user@][host][:port][/dbname][?key=value&...]
Pairs uriValues(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        refuse(url.errorString());
    if (!url.password().isEmpty())
        refuse(QCoreApplication::translate("TeamRecord", "不接受写在其中的密码"));
    Pairs pairs;
    const auto add = [&pairs](const QString& key, const QString& value) {
        if (!value.isEmpty())
            pairs.emplace_back(key, value);
    };
    add(QStringLiteral("host"), url.host());
    if (url.port() >= 0)
        add(QStringLiteral("port"), QString::number(url.port()));
    add(QStringLiteral("user"), url.userName());
    add(QStringLiteral("dbname"), url.path().mid(1));
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        pairs.emplace_back(key, value);
    return pairs;
}

QString quoted(QString value) {
    return '\'' + value.replace('\\', QStringLiteral("\\\\")).replace('\'', QStringLiteral("\\'")) +
           '\'';
}

} // namespace

QString ConnectionString(const QString& setting) {
    const QString text = setting.trimmed();
    const bool uri = text.startsWith(QStringLiteral("postgresql://")) ||
                     text.startsWith(QStringLiteral("postgres://"));
    Pairs pairs = uri ? uriValues(text) : keyValues(text);
    bool timeout = false;
    for (const auto& [key, value] : pairs) {
        if (key == QStringLiteral("password"))
            refuse(QCoreApplication::translate("TeamRecord", "不接受写在其中的密码"));
        // Qt's driver turns every ";" into a blank before libpq reads the string.
        if (value.contains(';'))
            refuse(QCoreApplication::translate("TeamRecord", "%1 的值里有分号").arg(key));
        timeout |= key == QStringLiteral("connect_timeout");
    }
    if (!timeout)
        pairs.emplace_back(QStringLiteral("connect_timeout"), QString::number(kConnectTimeoutSeconds));
    QStringList parts;
    for (const auto& [key, value] : pairs)
        parts << key + '=' + quoted(value);
    return parts.join(' ');
}

std::optional<QString> ConfiguredServer() {
    const QString setting = config::ReadConfigString(QStringLiteral("record"), QStringLiteral("server"));
    if (setting.trimmed().isEmpty())
        return std::nullopt;
    return ConnectionString(setting);
}

} // namespace teamrecord
