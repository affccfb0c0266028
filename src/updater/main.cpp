#include "Dialogs.h"
#include "ErrorReport.h"
#include "ProgramFolder.h"
#include "TForm_Update.h"

#include <QApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setErrorReportCaption(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    // A copy in a folder the user cannot write came from a package: replacing its files is the
    // package manager's job, and trying would only fail half-way.
    if (::access(QFile::encodeName(programFolder()).constData(), W_OK) != 0) {
        Dialogs::instance().messageBox(nullptr,
                                       QStringLiteral("This copy of Pinlet is installed in %1, which only the "
                                                      "system can change. It is updated by the package manager: "
                                                      "use your system's software updates to get a newer version.")
                                           .arg(QDir::toNativeSeparators(programFolder())),
                                       errorReportCaption(), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        return 0;
    }
    TForm_Update form;
    form.show();
    return app.exec();
}
