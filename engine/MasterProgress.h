#pragma once

#include <QDialog>

class QLabel;

// The window a master-file run shows while its engines run: which command
// file of the master file is running. It is modal, so no other window takes
// input, and it takes none itself beyond being moved: it has no buttons and
// neither Escape nor its title bar closes it.
class MasterProgress : public QDialog
{
    Q_OBJECT

public:
    explicit MasterProgress(QWidget *parent);

    // "Running 2: /path/b.cf" for the second line of the master file.
    static QString runningText(int lineNumber, const QString &commandFile);
    void showRunning(int lineNumber, const QString &commandFile);
    QString text() const;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_label = nullptr;
};
