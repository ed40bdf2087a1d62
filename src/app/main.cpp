#include "ch341/LinuxConverterLibrary.h"
#include "ch341/PortMap.h"
#include "i18n/Translations.h"
#include "cli/CommandLine.h"
#include "main/Application.h"
#include "main/MessageBoxes.h"
#include "main/frmMain.h"

#include <QIcon>

int main(int argc, char** argv) {
    if (cli::WantsCommandLine(argc, argv))
        return cli::Run(argc, argv);
    TQtMessageBoxes boxes;
    TApplication app(argc, argv, boxes);
    const i18n::Translations translations(i18n::MessagesLocale());
    app.setWindowIcon(QIcon(QStringLiteral(":/spliceon.png")));
    ch341::InstallPortMapping();
    ch341::TLinuxConverterLibrary converter;
    TfrmMain window({boxes, converter, QString()});
    window.show();
    return app.exec();
}
