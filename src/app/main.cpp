#include "cli/CommandLine.h"
#include "cli/StopSignals.h"
#include "i18n/Translations.h"
#include "main/Application.h"
#include "main/QtMessageBoxes.h"
#include "main/frmMain.h"
#include "startup/ProgramStart.h"

#include <QIcon>
#include <QSocketNotifier>

int main(int argc, char** argv) {
    if (cli::WantsCommandLine(argc, argv))
        return cli::Run(argc, argv);
    TQtMessageBoxes boxes;
    TApplication app(argc, argv, boxes);
    const i18n::Translations translations(i18n::MessagesLocale());
    app.setWindowIcon(QIcon(QStringLiteral(":/spliceon.png")));
    startup::TProgramStart program;
    TfrmMain window({boxes, program.Converter(), program.Ports(), program.Places()});
    // SIGTERM, SIGINT and SIGHUP close the window as "退出(&E)" does, which gives the port back
    // as it was found; the program then ends with 128 + the signal's number.
    cli::TStopSignals stop;
    QSocketNotifier stopped(cli::TStopSignals::Fd(), QSocketNotifier::Read);
    QObject::connect(&stopped, &QSocketNotifier::activated, &window, [&] {
        stopped.setEnabled(false);
        window.close();
    });
    window.show();
    const int code = app.exec();
    // Closing the last window quits with 0 on its own.
    const int signal = stop.Caught();
    return signal ? 128 + signal : code;
}
