#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The window a master-file run shows while its engines run: which command
// file of the master file is running, and a Stop button (Escape too) that
// asks the run to end. It is modal, so no other window takes input, and its
// title bar does not close it.
class MasterProgress : public QDialog
{
    Q_OBJECT

public:
    explicit MasterProgress(QWidget *parent);

    // "Running 2: /path/b.cf" for the second line of the master file.
    static QString runningText(int lineNumber, const QString &commandFile);
    void showRunning(int lineNumber, const QString &commandFile);
    QString text() const;

signals:
    // The user asked to stop the run; said once.
    void stopRequested();

public slots:
    // Escape: the same as the Stop button.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_label = nullptr;
    QPushButton *m_stopButton = nullptr;
};
