#include "cli/CommandLine.h"

#include "ch341/PortSurvey.h"
#include "cli/Console.h"
#include "cli/JsonFormat.h"
#include "cli/LinkCommands.h"
#include "cli/OutputFile.h"
#include "cli/RecordCommands.h"
#include "cli/SetInput.h"
#include "cli/SplicerExchange.h"
#include "cli/SplicerWait.h"
#include "cli/StopSignals.h"
#include "cli/SyncRecord.h"
#include "cli/TextFormat.h"
#include "i18n/Translations.h"
#include "paramset/SetFile.h"
#include "protocol/Frames.h"
#include "protocol/SplicerLink.h"
#include "record/RecordText.h"
#include "record/Recorder.h"
#include "record/ServiceDb.h"
#include "serial/ComError.h"
#include "serial/PortName.h"
#include "startup/ProgramStart.h"
#include "trace/TraceFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <csignal>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {
namespace {

// The options are built before any translator is installed: their descriptions are marked here
// and translated when the parser gets them (described).
const QCommandLineOption optHelp({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                 QT_TRANSLATE_NOOP("CommandLine", "显示本用法"));
const QCommandLineOption optList(
    QStringLiteral("list"),
    QT_TRANSLATE_NOOP("CommandLine", "列出候选端口：COM 号、设备路径、为何算作转换器、能否打开"));
const QCommandLineOption
    optProbe(QStringLiteral("probe"),
             QT_TRANSLATE_NOOP("CommandLine",
                               "与 --list 一起：向能打开的端口发握手，报告熔接机及其固件版本"));
const QCommandLineOption optRead(
    QStringLiteral("read"),
    QT_TRANSLATE_NOOP("CommandLine", "读出熔接机的参数，按 config.ini 的 [Param] 格式输出"));
const QCommandLineOption optWrite(
    QStringLiteral("write"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "把 FILE（config.ini 或 --read 的输出）中的参数写入熔接机并读回核对"),
    QStringLiteral("FILE"));
const QCommandLineOption optDiff(
    QStringLiteral("diff"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "读出熔接机的参数，列出与 FILE 不同的项（按熔接机的固件换算）：退出码 0 "
                      "相同，1 不同，2 出错"),
    QStringLiteral("FILE"));
const QCommandLineOption optDryRun(
    QStringLiteral("dry-run"),
    QT_TRANSLATE_NOOP("CommandLine", "与 --write 一起：检查、换算并列出改动，但不发送参数块"));
const QCommandLineOption optPort(QStringLiteral("port"),
                                 QT_TRANSLATE_NOOP("CommandLine", "用这个端口，不搜索"),
                                 QStringLiteral("COMn|PATH"));
const QCommandLineOption optOut(QStringLiteral("out"),
                                QT_TRANSLATE_NOOP("CommandLine",
                                                  "--read 的结果写到 FILE，而不是标准输出"),
                                QStringLiteral("FILE"));
const QCommandLineOption optYes(QStringLiteral("yes"),
                                QT_TRANSLATE_NOOP("CommandLine", "--write 之前不再询问"));
const QCommandLineOption optTrace(QStringLiteral("trace"),
                                  QT_TRANSLATE_NOOP("CommandLine", "把收发的每一帧记录到 FILE"),
                                  QStringLiteral("FILE"));

const QCommandLineOption optJson(
    QStringLiteral("json"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "--list、--read 和 --diff 的结果输出为一个 JSON 文档（英文键，不随语言变化）"));
const QCommandLineOption optQuiet(
    QStringLiteral("quiet"),
    QT_TRANSLATE_NOOP("CommandLine", "标准错误上只写错误（与非 0 退出码相伴的文字），不写提示"));
const QCommandLineOption optWait(
    QStringLiteral("wait"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "与 --read、--write、--diff 一起、不带 --port：等熔接机接入，最多 SECONDS 秒"),
    QStringLiteral("SECONDS"));

const QCommandLineOption optTraceFormat(
    QStringLiteral("trace-format"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "--trace 的格式：text（默认，每帧一行文字）或 pcapng（抓包文件，"
                      "Wireshark、tshark 可读）"),
    QStringLiteral("FORMAT"));

const QCommandLineOption optHistory(
    QStringLiteral("history"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "列出服务记录：每次连接及其操作；后面给出设备ID 则只列这台熔接机"));
const QCommandLineOption optSince(
    QStringLiteral("since"),
    QT_TRANSLATE_NOOP("CommandLine", "与 --history 一起：只列这一天（yyyy-MM-dd）起的连接"),
    QStringLiteral("DATE"));
const QCommandLineOption optReport(
    QStringLiteral("report"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "把这台熔接机一次连接的服务报告写到 --out FILE（.pdf 为 PDF，否则 HTML）"),
    QStringLiteral("DEVICE-ID"));
const QCommandLineOption
    optVisit(QStringLiteral("visit"),
             QT_TRANSLATE_NOOP("CommandLine",
                               "与 --report 一起：第 N 次连接（--history 的编号），默认最近一次"),
             QStringLiteral("N"));
const QCommandLineOption optSyncRecord(
    QStringLiteral("sync-record"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "把本机服务记录中尚未发送的记录发到 config.ini 的 [record] server= "
                      "所指的团队服务器，输出发送了几条"));
const QCommandLineOption optInit(
    QStringLiteral("init"),
    QT_TRANSLATE_NOOP("CommandLine",
                      "与 --sync-record 一起：先在团队服务器上建立或更新服务记录的表（需建表权限）"));

// A day: longer is no wait at a splicer, and the time stays within a timer's range.
constexpr int kLongestWaitSeconds = 86400;

const QList<QCommandLineOption>& options() {
    static const QList<QCommandLineOption> all = {
        optHelp,    optList,   optProbe,  optRead,  optWrite,      optDiff, optDryRun,
        optPort,    optOut,    optYes,    optTrace, optJson,       optQuiet, optWait,
        optTraceFormat, optHistory, optSince, optReport, optVisit, optSyncRecord, optInit};
    return all;
}

// The options with their descriptions in the reader's language.
QList<QCommandLineOption> described(QList<QCommandLineOption> options) {
    for (QCommandLineOption& option : options)
        option.setDescription(
            QCoreApplication::translate("CommandLine", option.description().toUtf8().constData()));
    return options;
}

// Qt's own options for a window. Given alone they leave the program a window; one that takes a
// value and is not written with "=" takes the next argument as its value.
struct WindowOption {
    const char* name;
    bool takesValue;
};
constexpr WindowOption kWindowOptions[] = {{"style", true},
                                           {"stylesheet", true},
                                           {"widgetcount", false},
                                           {"reverse", false},
                                           {"qmljsdebugger", false},
                                           {"platform", true},
                                           {"platformpluginpath", true},
                                           {"platformtheme", true},
                                           {"plugin", true},
                                           {"qwindowgeometry", true},
                                           {"qwindowicon", true},
                                           {"qwindowtitle", true},
                                           {"session", true},
                                           {"display", true},
                                           {"geometry", true},
                                           {"dialogs", false},
                                           {"fontengine", false}};

// Arguments the command line cannot run with; nothing has been touched yet, and the usage
// follows the text.
class EUsage : public std::runtime_error {
public:
    explicit EUsage(const QString& text) : std::runtime_error(text.toStdString()) {}
};

QString spelled(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The format --trace-format names; text without it.
trace::TraceFormat traceFormat(const QCommandLineParser& parser) {
    const QString name = parser.value(optTraceFormat);
    if (name.isEmpty() || name == QStringLiteral("text"))
        return trace::TraceFormat::Text;
    if (name == QStringLiteral("pcapng"))
        return trace::TraceFormat::Pcapng;
    throw EUsage(
        QCoreApplication::translate("CommandLine", "--trace-format 只能是 text 或 pcapng：%1")
            .arg(name));
}

// The seconds --wait gives; 0 without it.
int waitSeconds(const QCommandLineParser& parser) {
    if (!parser.isSet(optWait))
        return 0;
    bool number = false;
    const int seconds = parser.value(optWait).toInt(&number);
    if (!number || seconds < 1 || seconds > kLongestWaitSeconds)
        throw EUsage(QCoreApplication::translate("CommandLine",
                                                 "--wait 的值须是 1 到 %1 之间的整数（秒）：%2")
                         .arg(QString::number(kLongestWaitSeconds), parser.value(optWait)));
    return seconds;
}

// One file by its path, or by its inode when both exist (a link, /dev/stdout).
bool sameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    if (::stat(QFile::encodeName(a).constData(), &first) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

// The day --since gives, from its start; invalid without it.
QDateTime sinceDate(const QCommandLineParser& parser) {
    if (!parser.isSet(optSince))
        return {};
    const QDate day = QDate::fromString(parser.value(optSince), Qt::ISODate);
    if (!day.isValid())
        throw EUsage(
            QCoreApplication::translate("CommandLine", "--since 须是 yyyy-MM-dd 形式的日期：%1")
                .arg(parser.value(optSince)));
    return day.startOfDay();
}

// The visit --visit names; 0 (the latest) without it.
int visitNumber(const QCommandLineParser& parser) {
    if (!parser.isSet(optVisit))
        return 0;
    bool number = false;
    const int n = parser.value(optVisit).toInt(&number);
    if (!number || n < 1)
        throw EUsage(QCoreApplication::translate("CommandLine", "--visit 须是从 1 起的整数：%1")
                         .arg(parser.value(optVisit)));
    return n;
}

void checkRecordUsage(const QCommandLineParser& parser) {
    if (parser.isSet(optSince) && !parser.isSet(optHistory))
        throw EUsage(QCoreApplication::translate("CommandLine", "--since 只用于 --history"));
    if (parser.isSet(optVisit) && !parser.isSet(optReport))
        throw EUsage(QCoreApplication::translate("CommandLine", "--visit 只用于 --report"));
    if (parser.isSet(optReport) && (!parser.isSet(optOut) || parser.value(optOut) == "-"))
        throw EUsage(
            QCoreApplication::translate("CommandLine", "--report 须用 --out FILE 指定报告文件"));
    sinceDate(parser);
    visitNumber(parser);
}

// Raises the usage error of a parsed command line, if it has one.
void checkUsage(const QCommandLineParser& parser) {
    // --history takes one device ID after it.
    const QStringList words = parser.positionalArguments();
    if (words.size() > (parser.isSet(optHistory) ? 1 : 0))
        throw EUsage(QCoreApplication::translate("CommandLine", "多余的参数：%1")
                         .arg(words.mid(parser.isSet(optHistory) ? 1 : 0).join(' ')));
    for (const QCommandLineOption& option : options()) {
        // An unset shell variable gives an empty value: it must not mean "none given".
        const QStringList values =
            option.valueName().isEmpty() ? QStringList() : parser.values(option);
        if (values.size() > 1)
            throw EUsage(QCoreApplication::translate("CommandLine", "%1 只能给一次")
                             .arg(spelled(option.names().first())));
        if (values.size() == 1 && values.first().isEmpty())
            throw EUsage(QCoreApplication::translate("CommandLine", "%1 的值是空的")
                             .arg(spelled(option.names().first())));
    }
    const int modes = int(parser.isSet(optList)) + int(parser.isSet(optRead)) +
                      int(parser.isSet(optWrite)) + int(parser.isSet(optDiff)) +
                      int(parser.isSet(optHistory)) + int(parser.isSet(optReport)) +
                      int(parser.isSet(optSyncRecord));
    if (modes != 1)
        throw EUsage(QCoreApplication::translate(
            "CommandLine",
            "请给出 --list、--read、--write、--diff、--history、--report 或 --sync-record 中的一个"));
    checkRecordUsage(parser);
    if (parser.isSet(optInit) && !parser.isSet(optSyncRecord))
        throw EUsage(QCoreApplication::translate("CommandLine", "--init 只用于 --sync-record"));
    for (const QCommandLineOption& option :
         {optProbe, optPort, optOut, optYes, optTrace, optJson, optWait, optSince, optVisit})
        if (parser.isSet(optSyncRecord) && parser.isSet(option))
            throw EUsage(QCoreApplication::translate("CommandLine", "%1 不能与 --sync-record 一起用")
                             .arg(spelled(option.names().first())));
    if (parser.isSet(optDryRun) && !parser.isSet(optWrite))
        throw EUsage(QCoreApplication::translate("CommandLine", "--dry-run 只用于 --write"));
    if (parser.isSet(optProbe) && !parser.isSet(optList))
        throw EUsage(QCoreApplication::translate("CommandLine", "--probe 只能与 --list 一起用"));
    const bool withSplicer =
        parser.isSet(optRead) || parser.isSet(optWrite) || parser.isSet(optDiff);
    if (parser.isSet(optPort) && !withSplicer)
        throw EUsage(QCoreApplication::translate("CommandLine",
                                                 "--port 只用于 --read、--write 和 --diff"));
    if (parser.isSet(optOut) && !parser.isSet(optRead) && !parser.isSet(optHistory) &&
        !parser.isSet(optReport))
        throw EUsage(QCoreApplication::translate("CommandLine",
                                                 "--out 只用于 --read、--history 和 --report"));
    if (parser.isSet(optYes) && !parser.isSet(optWrite))
        throw EUsage(QCoreApplication::translate("CommandLine", "--yes 只用于 --write"));
    if (parser.isSet(optJson) && (parser.isSet(optWrite) || parser.isSet(optReport)))
        throw EUsage(QCoreApplication::translate(
            "CommandLine", "--json 只用于 --list、--read、--diff 和 --history"));
    if (parser.isSet(optWait) && !withSplicer)
        throw EUsage(QCoreApplication::translate("CommandLine",
                                                 "--wait 只用于 --read、--write 和 --diff"));
    if (parser.isSet(optWait) && parser.isSet(optPort))
        throw EUsage(QCoreApplication::translate("CommandLine", "--wait 不能与 --port 一起用：给了端口就不搜索"));
    waitSeconds(parser);
    if (parser.isSet(optTraceFormat) && !parser.isSet(optTrace))
        throw EUsage(QCoreApplication::translate("CommandLine", "--trace-format 只用于 --trace"));
    traceFormat(parser);
    // A bare name would open a device under /dev, a relative path a file here: neither is asked
    // for by a technician who means a port.
    if (const QString port = parser.value(optPort); parser.isSet(optPort) &&
                                                    !port.startsWith('/') &&
                                                    serial::ComPortNumber(port.toStdString()) == 0)
        throw EUsage(QCoreApplication::translate("CommandLine",
                                                 "--port 只接受 COMn 或以 / 开头的设备路径：%1")
                         .arg(port));
    if (parser.isSet(optOut) && parser.isSet(optTrace) &&
        sameFile(parser.value(optOut), parser.value(optTrace)))
        throw EUsage(
            QCoreApplication::translate("CommandLine", "--out 与 --trace 不能是同一个文件"));
}

// quiet: the note that no port is a candidate is left out where it explains no failure.
int listPorts(const ch341::TPortMap& ports, TSplicerExchange* probing, TStopSignals& stop,
              const TResultFormat& format, bool quiet) {
    std::vector<TPortReport> reports =
        ch341::SurveyPorts(ports, ch341::TSysfsLayout{}, ch341::BrlttyInstalled());
    if (reports.empty() && (!quiet || probing))
        PrintMessage(ch341::NoCandidateText() + '\n');
    for (TPortReport& report : reports) {
        if (stop.Caught())
            return ExitFailed; // the caller tells of the stop
        if (probing && report.Openable())
            report.probe = Probe(*probing, report.path);
    }
    if (stop.Caught())
        return ExitFailed;
    PrintResult(format.PortList(reports));
    const bool answered = std::any_of(reports.begin(), reports.end(), [](const TPortReport& r) {
        return r.probe && r.probe->outcome == TProbeResult::Outcome::Answered;
    });
    return probing && !answered ? ExitNoSplicer : ExitDone;
}

// One of the parser's complaints about an argument, in the words Qt uses now (its translation
// for the locale, if one is installed), as a pattern that captures the argument.
QRegularExpression parserComplaint(const char* text) {
    const QString words =
        QRegularExpression::escape(QCoreApplication::translate("QCommandLineParser", text));
    return QRegularExpression(
        '^' +
        QString(words).replace(QRegularExpression::escape(QStringLiteral("%1")),
                               QStringLiteral("(.+)")) +
        '$');
}

// The parser's complaints in the program's own words. One it has no words for is passed on as
// Qt gives it.
QString parseError(const QCommandLineParser& parser) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        QStringList names;
        for (const QString& name : unknown)
            names << spelled(name);
        //: Separates the option names.
        const QString separator = QCoreApplication::translate("CommandLine", "、");
        return QCoreApplication::translate("CommandLine", "未知选项：%1")
            .arg(names.join(separator));
    }
    if (const QRegularExpressionMatch m =
            parserComplaint("Missing value after '%1'.").match(parser.errorText());
        m.hasMatch())
        return QCoreApplication::translate("CommandLine", "%1 缺少值").arg(m.captured(1));
    if (const QRegularExpressionMatch m =
            parserComplaint("Unexpected value after '%1'.").match(parser.errorText());
        m.hasMatch())
        return QCoreApplication::translate("CommandLine", "%1 不带值").arg(m.captured(1));
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

// The explanation --list gives follows the serial component's text for a port that did not
// open; the window shows that text alone.
QString portErrorText(const serial::EComPort& e, const TSplicerExchange& exchange) {
    if (e.Code() != serial::CError_OpenFailed)
        return QString::fromUtf8(e.what());
    const QString path = QString::fromStdString(exchange.PortPath());
    //: The serial port's error, the device path, and why it did not open.
    return QCoreApplication::translate("CommandLine", "%1：%2 %3")
        .arg(QString::fromUtf8(e.what()), path, ch341::OpenVerdict(e.OsCode(), path));
}

QString stoppedText(int signal, bool blockSent) {
    const QString outcome =
        blockSent ? QCoreApplication::translate(
                        "CommandLine", "参数块已发给熔接机，没有读回核对；熔接机可能已保存新参数")
                  : QCoreApplication::translate("CommandLine", "没有向熔接机写入参数");
    return QCoreApplication::translate("CommandLine", "被 %1 中断：%2")
               .arg(TStopSignals::Name(signal), outcome) +
           '\n';
}

// "-" and no --out both mean standard output.
void writeOut(const QString& path, const QString& text) {
    if (path.isEmpty() || path == QStringLiteral("-"))
        PrintResult(text);
    else
        WriteOutputFile(path, text.toUtf8());
}

int runMode(const QCommandLineParser& parser, TSplicerExchange& exchange,
            startup::TProgramStart& program, TStopSignals& stop, record::TRecorder& recorder) {
    const TTextFormat text;
    const TJsonFormat json;
    const TResultFormat& format =
        parser.isSet(optJson) ? static_cast<const TResultFormat&>(json) : text;
    const bool quiet = parser.isSet(optQuiet);
    if (parser.isSet(optList))
        return listPorts(program.Ports(), parser.isSet(optProbe) ? &exchange : nullptr, stop,
                         format, quiet);
    const int wait = waitSeconds(parser);
    const std::string port = parser.value(optPort).toStdString();
    const TConnect find = [&]() {
        if (!port.empty())
            return exchange.Connect(port);
        if (wait > 0)
            return WaitForSplicer(exchange, program.Converter(), std::chrono::seconds{wait}, stop,
                                  quiet
                                      ? QString()
                                      : QCoreApplication::translate(
                                            "CommandLine", "没有熔接机应答：等它接入，最多 %1 秒……")
                                                .arg(wait) +
                                            '\n');
        return exchange.Find();
    };
    // Recorded once connected, before anything else is done to the splicer.
    const TConnect connect = [&]() {
        const bool connected = find();
        if (connected)
            RecordConnection(recorder, exchange);
        return connected;
    };
    if (parser.isSet(optRead)) {
        const std::optional<TReadResult> read = ReadSplicer(exchange, connect);
        if (!read)
            return ExitNoSplicer;
        writeOut(parser.value(optOut), format.ReadResult(*read));
        return ExitDone;
    }
    const QString file = parser.value(parser.isSet(optDiff) ? optDiff : optWrite);
    const params::SetFile set = params::ParseSetFile(SetInputName(file), ReadSetInput(file));
    if (parser.isSet(optDiff)) {
        const std::optional<TDiffResult> diff = DiffSplicer(exchange, set, connect, quiet);
        if (!diff)
            return ExitFailed;
        PrintResult(format.DiffResult(*diff));
        return params::DifferenceCount(diff->rows) == 0 ? ExitDone : ExitSetDiffers;
    }
    // The changes go before the question, or to standard error when nothing is asked.
    const TConfirm confirm = [&](const QString& changes) {
        if (!parser.isSet(optYes))
            return ConfirmOnTerminal(changes + SplicerLink::tr(SplicerLink::kConfirmWrite), stop);
        if (!quiet)
            PrintMessage(changes);
        return true;
    };
    const bool dryRun = parser.isSet(optDryRun);
    const TWriteResult write = WriteSplicer(exchange, set, connect, confirm, dryRun);
    // A rehearsal wrote nothing; a failure has said so already, with its exit code. The change
    // list went before the question: after the write only how it went.
    if (write.outcome != ExitNoSplicer && !dryRun) {
        const record::Operation recorded = RecordWrite(recorder, write);
        if (!quiet && write.outcome == ExitDone)
            PrintMessage(record::OutcomeCaption(recorded) + '\n');
    }
    return write.outcome;
}

// The mode on the exchange, ended early by a stop signal; the port is closed at the end either
// way.
int runStoppable(const QCommandLineParser& parser, TSplicerExchange& exchange,
                 startup::TProgramStart& program, TStopSignals& stop,
                 record::TRecorder& recorder) {
    bool blockSent = false;
    const QObject context;
    QObject::connect(
        &exchange, &FrameFeed::frameSent, &context, [&blockSent](const QByteArray& frame) {
            blockSent |= frame.size() > 1 && uint8_t(frame[1]) == frames::KindParamBlock;
        });
    const auto closePort = qScopeGuard([&exchange] { exchange.Close(); });
    int code = ExitFailed;
    // An error that follows from a stop is not what went wrong: the stop is.
    try {
        code = runMode(parser, exchange, program, stop, recorder);
    } catch (const serial::EComPort& e) {
        if (!stop.Caught())
            throw std::runtime_error(portErrorText(e, exchange).toStdString());
    } catch (const std::exception&) {
        if (!stop.Caught())
            throw;
    }
    if (const int signal = stop.Caught()) {
        PrintMessage(stoppedText(signal, blockSent));
        return 128 + signal;
    }
    return code;
}

} // namespace

bool WantsCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QStringLiteral("--")))
            arg.remove(0, 1); // Qt takes its options with two dashes as well
        const QString name = arg.mid(1).section('=', 0, 0);
        const auto* option =
            std::find_if(std::begin(kWindowOptions), std::end(kWindowOptions),
                         [&name](const WindowOption& o) { return name == QLatin1String(o.name); });
        if (!arg.startsWith('-') || option == std::end(kWindowOptions))
            return true;
        if (option->takesValue && !arg.contains('='))
            ++i;
    }
    return false;
}

int Run(int argc, char** argv) {
    holdStandardStreams();
    // A reader gone from a pipe (standard output, --out, --trace) makes a failed write, which
    // ends the run with the port given back as found, not a death by SIGPIPE holding it.
    std::signal(SIGPIPE, SIG_IGN);
    // A report lays out its pages with fonts, which only a GUI application has; it needs no
    // display.
    const bool report = std::any_of(argv + 1, argv + argc, [](const char* a) {
        return QByteArray(a) == "--report" || QByteArray(a).startsWith("--report=");
    });
    if (report)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> application =
        report ? std::make_unique<QGuiApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    startup::TProgramStart program;
    const i18n::Translations translations(i18n::MessagesLocale());
    QCommandLineParser parser;
    // A window's option given with ours ("-platform xcb --read") is named as one unknown option,
    // not as the letters of a cluster.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Spliceon：熔接机参数的命令行。\n"
            "退出码：0 完成；1 --diff：熔接机的参数与文件不同，其他时候没有熔接机应答"
            "（--wait：等待时间内没有；--list --probe：没有一个端口有熔接机应答）；"
            "2 其他错误；3 --write 读回的参数块与写入的不同、熔接机答复的参数块长度是 0，"
            "或参数块发出后线路出错（熔接机可能已存下新参数，没有读回核对）；129、130、143 被 "
            "SIGHUP、SIGINT、SIGTERM 中断（端口已关闭）。\n"
            "配置文件：%1")
            .arg(program.Places().settingsFile));
    parser.addOptions(described(options()));
    try {
        if (!parser.parse(app.arguments()))
            throw EUsage(parseError(parser));
        if (parser.isSet(optHelp)) {
            PrintResult(parser.helpText());
            return ExitDone;
        }
        checkUsage(parser);
        if (parser.isSet(optSyncRecord))
            return SyncRecord(program.Places().serviceRecord, parser.isSet(optInit));
        // --history and --report read the team's records while its server answers.
        record::TServiceDb serviceRecord(parser.isSet(optHistory) || parser.isSet(optReport)
                                             ? RecordToRead(program.Places().serviceRecord)
                                             : program.Places().serviceRecord);
        if (parser.isSet(optHistory))
            return History(serviceRecord, parser.positionalArguments().value(0), sinceDate(parser),
                           parser.isSet(optJson), parser.value(optOut));
        if (parser.isSet(optReport))
            return Report(serviceRecord, parser.value(optReport), visitNumber(parser),
                          parser.value(optOut));
        // A record that cannot be written is told once; the work goes on.
        record::TRecorder recorder(serviceRecord);
        QObject::connect(&recorder, &record::TRecorder::fault,
                         [](const QString& text) { PrintMessage(text + '\n'); });
        TStopSignals stop;
        TSplicerExchange exchange(program.Converter(), stop);
        std::optional<trace::TTraceFile> traceFile;
        if (parser.isSet(optTrace))
            traceFile.emplace(parser.value(optTrace), exchange, trace::RunHeader(app.arguments()),
                              traceFormat(parser));
        recorder.Follow(exchange);
        const int code = runStoppable(parser, exchange, program, stop, recorder);
        // A trace cut short is a failure too, whatever the splicer said.
        if (traceFile)
            traceFile->CheckComplete();
        SendAfterRun(program.Places().serviceRecord);
        return code;
    } catch (const EUsage& e) {
        PrintMessage(QString::fromUtf8(e.what()) + '\n' + parser.helpText());
        return ExitFailed;
    } catch (const std::exception& e) {
        PrintMessage(QString::fromUtf8(e.what()) + '\n');
        return ExitFailed;
    }
}

} // namespace cli
