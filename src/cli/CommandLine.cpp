#include "cli/CommandLine.h"

#include "ch341/LinuxConverterLibrary.h"
#include "ch341/PortMap.h"
#include "cli/ConsoleBoxes.h"
#include "cli/LinkCommands.h"
#include "cli/PortCheck.h"
#include "config/Config.h"
#include "i18n/Translations.h"
#include "protocol/SplicerLink.h"
#include "trace/TraceFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QScopeGuard>

#include <exception>
#include <optional>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace cli {
namespace {

const QCommandLineOption optHelp({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                 QStringLiteral("显示本用法"));
const QCommandLineOption
    optList(QStringLiteral("list"),
            QStringLiteral("列出候选端口：COM 号、设备路径、为何算作转换器、能否打开"));
const QCommandLineOption
    optProbe(QStringLiteral("probe"),
             QStringLiteral("与 --list 一起：向能打开的端口发握手，报告熔接机及其固件版本"));
const QCommandLineOption
    optRead(QStringLiteral("read"),
            QStringLiteral("读出熔接机的参数，按 config.ini 的 [Param] 格式输出"));
const QCommandLineOption
    optWrite(QStringLiteral("write"),
             QStringLiteral("把 FILE（config.ini 或 --read 的输出）中的参数写入熔接机并读回核对"),
             QStringLiteral("FILE"));
const QCommandLineOption optPort(QStringLiteral("port"), QStringLiteral("用这个端口，不搜索"),
                                 QStringLiteral("COMn|PATH"));
const QCommandLineOption optOut(QStringLiteral("out"),
                                QStringLiteral("--read 的结果写到 FILE，而不是标准输出"),
                                QStringLiteral("FILE"));
const QCommandLineOption optYes(QStringLiteral("yes"), QStringLiteral("--write 之前不再询问"));
const QCommandLineOption optTrace(QStringLiteral("trace"),
                                  QStringLiteral("把收发的每一帧记录到 FILE"),
                                  QStringLiteral("FILE"));

const QList<QCommandLineOption>& options() {
    static const QList<QCommandLineOption> all = {optHelp, optList, optProbe, optRead, optWrite,
                                                  optPort, optOut,  optYes,   optTrace};
    return all;
}

// The usage errors of a parsed command line, or an empty text.
QString usageError(const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("多余的参数：") + parser.positionalArguments().join(' ');
    const int modes =
        int(parser.isSet(optList)) + int(parser.isSet(optRead)) + int(parser.isSet(optWrite));
    if (modes != 1)
        return QStringLiteral("请给出 --list、--read 或 --write 中的一个");
    if (parser.isSet(optProbe) && !parser.isSet(optList))
        return QStringLiteral("--probe 只能与 --list 一起用");
    if (parser.isSet(optPort) && parser.isSet(optList))
        return QStringLiteral("--port 只用于 --read 和 --write");
    if (parser.isSet(optOut) && !parser.isSet(optRead))
        return QStringLiteral("--out 只用于 --read");
    if (parser.isSet(optYes) && !parser.isSet(optWrite))
        return QStringLiteral("--yes 只用于 --write");
    return {};
}

int listPorts(SplicerLink* probing) {
    std::vector<TPortReport> reports = SurveyPorts(ch341::TSysfsLayout{}, BrlttyInstalled());
    if (reports.empty())
        PrintMessage(QStringLiteral("没有候选端口：没有接入 CH341 转换器，config.ini 的 [ports] "
                                    "也没有映射；请检查数据线\n"));
    for (TPortReport& report : reports) {
        if (probing && report.openable)
            report.probe = ProbeText(*probing, report.path);
        PrintResult(ReportLine(report) + '\n');
    }
    return ExitDone;
}

// The parser's complaints in the program's own words; Qt words them in English. One it has
// no words for is passed on as Qt gives it.
QString parseError(const QCommandLineParser& parser) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        QStringList spelled;
        for (const QString& name : unknown)
            spelled << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        return QStringLiteral("未知选项：") + spelled.join(QStringLiteral("、"));
    }
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.+)'\\.$"));
    static const QRegularExpression unexpected(
        QStringLiteral("^Unexpected value after '(.+)'\\.$"));
    if (const QRegularExpressionMatch m = missing.match(parser.errorText()); m.hasMatch())
        return QStringLiteral("%1 缺少值").arg(m.captured(1));
    if (const QRegularExpressionMatch m = unexpected.match(parser.errorText()); m.hasMatch())
        return QStringLiteral("%1 不带值").arg(m.captured(1));
    return parser.errorText();
}

// A standard stream the program was started without is opened on /dev/null before anything
// else is opened: otherwise the next file, the serial port included, would take its number and
// get what is printed. Standard output is opened for reading only, so printing a result there
// still fails as it should.
void holdStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (::fcntl(fd, F_GETFD) < 0)
            ::open("/dev/null", fd == STDOUT_FILENO ? O_RDONLY : O_RDWR); // takes the lowest free
}

} // namespace

bool WantsCommandLine(int argc, char** argv) {
    QStringList spellings;
    for (const QCommandLineOption& option : options())
        for (const QString& name : option.names())
            spellings << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    for (int i = 1; i < argc; ++i)
        if (spellings.contains(QString::fromLocal8Bit(argv[i]).section('=', 0, 0)))
            return true;
    return false;
}

int Run(int argc, char** argv) {
    holdStandardStreams();
    QCoreApplication app(argc, argv);
    const i18n::Translations translations(i18n::MessagesLocale());
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Spliceon：熔接机参数的命令行。\n"
        "退出码：0 完成；1 没有熔接机应答；2 其他错误；3 读回的参数块与写入的不同。"));
    parser.addOptions(options());
    try {
        if (!parser.parse(app.arguments()))
            throw std::runtime_error(parseError(parser).toStdString());
        if (parser.isSet(optHelp)) {
            PrintResult(parser.helpText());
            return ExitDone;
        }
        if (const QString error = usageError(parser); !error.isEmpty())
            throw std::runtime_error(error.toStdString());
        config::SetConfigPath(config::ExecutableFolder() + QStringLiteral("config.ini"));
        ch341::InstallPortMapping();
        ch341::TLinuxConverterLibrary converter;
        TConsoleBoxes boxes;
        // No notification routine: the command line follows no plugging, each run finds the
        // splicer once.
        SplicerLink link(boxes, converter, nullptr);
        const auto closeLink = qScopeGuard([&link] { link.Shutdown(); });
        std::optional<trace::TTraceFile> traceFile;
        if (parser.isSet(optTrace))
            traceFile.emplace(parser.value(optTrace), link);
        if (parser.isSet(optList))
            return listPorts(parser.isSet(optProbe) ? &link : nullptr);
        if (parser.isSet(optRead))
            return ReadParams(link, boxes, parser.value(optPort), parser.value(optOut));
        return WriteParams(link, boxes, parser.value(optWrite), parser.value(optPort),
                           parser.isSet(optYes));
    } catch (const std::exception& e) {
        PrintMessage(QString::fromUtf8(e.what()) + '\n');
        return ExitFailed;
    }
}

} // namespace cli
