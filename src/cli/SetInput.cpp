#include "cli/SetInput.h"

#include "paramset/SetFile.h"
#include "protocol/PrintableText.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <stdexcept>

namespace cli {
namespace {

constexpr qint64 kMaxSetBytes = params::kMaxSetFileBytes;

std::runtime_error failure(const QString& text) {
    return std::runtime_error(text.toStdString());
}

} // namespace

QString SetInputName(const QString& file) {
    return file == QStringLiteral("-") ? QCoreApplication::translate("SetInput", "标准输入")
                                       : PrintableText(QFile::encodeName(file));
}

QByteArray ReadSetInput(const QString& file) {
    QFile in(file);
    const bool opened = file == QStringLiteral("-")
                            ? in.open(stdin, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)
                            : in.open(QIODevice::ReadOnly);
    if (!opened)
        throw failure(QCoreApplication::translate("SetInput", "无法读取 %1：%2")
                          .arg(SetInputName(file), in.errorString()));
    QByteArray content;
    // A pipe hands over what it has: read until its end, one byte past the limit at most.
    while (content.size() <= kMaxSetBytes) {
        const QByteArray chunk = in.read(kMaxSetBytes + 1 - content.size());
        if (chunk.isEmpty())
            break;
        content += chunk;
    }
    if (in.error() != QFileDevice::NoError)
        throw failure(QCoreApplication::translate("SetInput", "无法读取 %1：%2")
                          .arg(SetInputName(file), in.errorString()));
    if (content.size() > kMaxSetBytes)
        throw failure(QCoreApplication::translate("SetInput", "%1 大于 1 MiB，不是参数文件")
                          .arg(SetInputName(file)));
    return content;
}

} // namespace cli
