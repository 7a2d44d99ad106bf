#include "app/PrefDialog.h"

TPrefDialogForm::TPrefDialogForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Preferences"));
}
