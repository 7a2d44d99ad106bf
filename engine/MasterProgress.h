#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// The window a master-file run shows while its engines run, with a Stop
// button (Escape too) that asks the run to end. It is modal, so no other
// window takes input, and its title bar does not close it. With one
// command file at a time it names the one running; with several it counts
// those done, running and left and lists the ones running now.
class MasterProgress : public QDialog
{
    Q_OBJECT

public:
    MasterProgress(QWidget *parent, int atOnce = 1);

    // "Running 2: /path/b.cf" for the second line of the master file.
    static QString runningText(int lineNumber, const QString &commandFile);
    // "3 done, 4 running, 193 left".
    static QString countsText(int done, int running, int left);

    void showRunning(int lineNumber, const QString &commandFile);
    // runningFiles: a runningText for each engine running now. stopping
    // says that no further file will start.
    void showCounts(int done, int running, int left, const QStringList &runningFiles, bool stopping);
    QString text() const;
    // The lines of the list of files running now (with several at once).
    QStringList runningFiles() const;

signals:
    // The user asked to stop the run; said once.
    void stopRequested();

public slots:
    // Escape: the same as the Stop button.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showOnce();

    QLabel *m_label = nullptr;
    QListWidget *m_runningList = nullptr;
    QLabel *m_stoppingLabel = nullptr;
    QPushButton *m_stopButton = nullptr;
};
