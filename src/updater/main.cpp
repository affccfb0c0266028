#include "ErrorReport.h"
#include "TForm_Update.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setErrorReportCaption(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    TForm_Update form;
    form.show();
    return app.exec();
}
