#include "ui/UserDialogs.h"

#include "core/FilterSyntax.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

// The open and save dialogs start in the process's current folder. They leave
// it where it was: only the flows that open or save a command or output file
// move it, and they tell the explorer.
QFileDialog *makeFileDialog(QWidget *parent, const UserDialogs::FileRequest &request)
{
    auto *dialog =
        new QFileDialog(parent, request.title, QDir::currentPath(), FileFilters::toQtFilter(request.filter));
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog->setDefaultSuffix(suffix);
    if (!request.initialName.isEmpty())
        dialog->selectFile(request.initialName);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    return dialog;
}

std::optional<QString> runFileDialog(QFileDialog *dialog)
{
    std::optional<QString> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = QDir::toNativeSeparators(dialog->selectedFiles().constFirst());
    delete dialog;
    return chosen;
}

} // namespace

UserDialogs::Answer QtUserDialogs::confirm(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Cancel;
}

bool QtUserDialogs::proceed(QWidget *parent, const QString &title, const QString &text,
                            const QString &acceptText)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QPushButton *accept = box.addButton(acceptText, QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(accept);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == accept;
}

std::optional<bool> QtUserDialogs::choose(QWidget *parent, const QString &title, const QString &text,
                                          const QString &acceptText, const QString &rejectText)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton *accept = box.addButton(acceptText, QMessageBox::AcceptRole);
    QPushButton *reject = box.addButton(rejectText, QMessageBox::DestructiveRole);
    box.setDefaultButton(accept);
    // Escape and the close box choose neither: a choice that deletes must be made.
    QPushButton *neither = box.addButton(QMessageBox::Cancel);
    neither->hide();
    box.setEscapeButton(neither);
    box.exec();
    if (box.clickedButton() == accept)
        return true;
    if (box.clickedButton() == reject)
        return false;
    return std::nullopt;
}

void QtUserDialogs::error(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::critical(parent, title, text);
}

std::optional<QString> QtUserDialogs::openFile(QWidget *parent, const FileRequest &request)
{
    QFileDialog *dialog = makeFileDialog(parent, request);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::ReadOnly, false);
    return runFileDialog(dialog);
}

std::optional<QString> QtUserDialogs::saveFile(QWidget *parent, const FileRequest &request)
{
    QFileDialog *dialog = makeFileDialog(parent, request);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // The program asks "Overwrite existing File?" itself.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    return runFileDialog(dialog);
}

std::optional<QFont> QtUserDialogs::chooseFont(QWidget *parent, const QFont &initial)
{
    QFontDialog dialog(initial, parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // Face, style and size only: the fonts keep no underline or strikeout, so
    // the dialog's effects box (its only check boxes) is not offered.
    for (QCheckBox *effect : dialog.findChildren<QCheckBox *>()) {
        if (auto *box = qobject_cast<QGroupBox *>(effect->parentWidget()))
            box->hide();
        else
            effect->hide();
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

bool QtUserDialogs::print(QWidget *parent, QPrinter &printer)
{
    // Every job starts on the whole text; the user may ask for a range of
    // pages, but not for a selection or the current page.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

bool QtUserDialogs::printerSetup(QWidget *parent, QPrinter &printer)
{
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtUserDialogs::printPreview(QWidget *parent, QPrinter &printer,
                                 const std::function<void(QPrinter &)> &paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *target) { paint(*target); });
    dialog.exec();
}

bool QtUserDialogs::showDialog(QDialog &dialog)
{
    return dialog.exec() == QDialog::Accepted;
}
