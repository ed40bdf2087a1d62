#include "cli/CommandLine.h"
#include "i18n/Translations.h"
#include "main/Application.h"
#include "main/QtMessageBoxes.h"
#include "main/frmMain.h"
#include "startup/ProgramStart.h"

#include <QIcon>

int main(int argc, char** argv) {
    if (cli::WantsCommandLine(argc, argv))
        return cli::Run(argc, argv);
    TQtMessageBoxes boxes;
    TApplication app(argc, argv, boxes);
    const i18n::Translations translations(i18n::MessagesLocale());
    app.setWindowIcon(QIcon(QStringLiteral(":/spliceon.png")));
    startup::TProgramStart program;
    TfrmMain window({boxes, program.Converter(), program.Places()});
    window.show();
    return app.exec();
}
