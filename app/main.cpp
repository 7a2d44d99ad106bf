#include "app/MDIFrame.h"
#include "core/UserDialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ostrel"));

    QtUserDialogs dialogs;
    TFrameForm frame(dialogs, QCoreApplication::applicationDirPath(), QCoreApplication::arguments().mid(1));
    frame.show();
    return QApplication::exec();
}
