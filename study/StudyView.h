#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

class QAction;
class QLabel;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class Studies;
class SubmitMaster;
class UserDialogs;
struct Study;

// What the Study dock shows: each kept study as a line with its summary,
// and under it one row per command file (job id, state, node, elapsed time,
// output file). Its commands act on the selected rows, or on the whole
// study when its own line is selected: Cancel, Submit Again, Remove Study,
// Export as CSV. A double-click opens a row's output file, or its error file
// when the job did not complete and wrote one.
class StudyView : public QWidget
{
    Q_OBJECT

public:
    enum Column { FileColumn, JobColumn, StateColumn, NodeColumn, ElapsedColumn, OutputColumn, ColumnCount };

    StudyView(Studies &studies, SubmitMaster &submit, UserDialogs &dialogs, QWidget *parent = nullptr);

    QTreeWidget *table() const { return m_table; }
    QAction *cancelAction() const { return m_cancel; }
    QAction *submitAgainAction() const { return m_submitAgain; }
    QAction *removeAction() const { return m_remove; }
    QAction *exportAction() const { return m_export; }

    void cancelSelected();
    void submitAgainSelected();
    void removeSelected();
    void exportSelected();

signals:
    // A double-click asks for a file: the output window shows an output
    // file, an other-file window an error file.
    void outputFileRequested(const QString &path);
    void errorFileRequested(const QString &path);

private:
    void createActions();
    void addStudy(const QString &id);
    void showStudy(const QString &id);
    void dropStudy(const QString &id);
    void showReachability();
    void updateActions();
    void openRow(QTreeWidgetItem *item);
    // The study of the selection (the first selected line's), and its lines:
    // all of them when the study's own line is selected.
    Study *selectedStudy(QList<int> *lines = nullptr) const;

    Studies &m_studies;
    SubmitMaster &m_submit;
    UserDialogs &m_dialogs;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_note = nullptr;
    QTreeWidget *m_table = nullptr;
    QHash<QString, QTreeWidgetItem *> m_items;
    QAction *m_cancel = nullptr;
    QAction *m_submitAgain = nullptr;
    QAction *m_remove = nullptr;
    QAction *m_export = nullptr;
};
