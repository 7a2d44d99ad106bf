#include "study/StudyView.h"

#include "study/Studies.h"
#include "study/StudyFile.h"
#include "study/SubmitMaster.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QSaveFile>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int StudyIdRole = Qt::UserRole;
constexpr int LineRole = Qt::UserRole + 1;

void setText(QTreeWidgetItem *item, int column, const QString &text)
{
    if (item->text(column) != text)
        item->setText(column, text);
}

QString studyCaption(const Study &study)
{
    return QStringLiteral("%1, submitted %2")
        .arg(QFileInfo(study.masterFile).fileName(),
             study.submitted.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

} // namespace

StudyView::StudyView(Studies &studies, SubmitMaster &submit, UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_studies(studies), m_submit(submit), m_dialogs(dialogs)
{
    createActions();
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("StudyToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->addActions({m_cancel, m_submitAgain, m_remove, m_export});
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("StudyNote"));
    m_note->hide();
    m_table = new QTreeWidget(this);
    m_table->setObjectName(QStringLiteral("StudyTable"));
    m_table->setColumnCount(ColumnCount);
    m_table->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Job"), QStringLiteral("State"),
                              QStringLiteral("Node"), QStringLiteral("Elapsed"), QStringLiteral("Output")});
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setUniformRowHeights(true);
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_table->addActions({m_cancel, m_submitAgain, m_remove, m_export});
    m_table->header()->setStretchLastSection(true);
    // Wide enough for "failed (exit status 255)"; sizing to the contents would
    // measure every row of a study of thousands at each poll.
    const std::array<int, OutputColumn> widths = {160, 70, 170, 80, 70};
    for (int column = 0; column < OutputColumn; ++column)
        m_table->setColumnWidth(column, widths.at(column));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *top = new QHBoxLayout;
    top->addWidget(m_toolBar);
    top->addStretch(1);
    top->addWidget(m_note);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);

    connect(&m_studies, &Studies::studyAdded, this, &StudyView::addStudy);
    connect(&m_studies, &Studies::studyChanged, this, &StudyView::showStudy);
    connect(&m_studies, &Studies::studyRemoved, this, &StudyView::dropStudy);
    connect(&m_studies, &Studies::reachabilityChanged, this, &StudyView::showReachability);
    connect(m_table, &QTreeWidget::itemSelectionChanged, this, &StudyView::updateActions);
    connect(m_table, &QTreeWidget::itemDoubleClicked, this, &StudyView::openRow);
    for (const std::unique_ptr<Study> &study : m_studies.all())
        addStudy(study->id);
    updateActions();
}

void StudyView::createActions()
{
    m_cancel = new QAction(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("StudyCancel"));
    m_cancel->setToolTip(QStringLiteral("Cancel the selected jobs, or all jobs of the selected study"));
    connect(m_cancel, &QAction::triggered, this, &StudyView::cancelSelected);
    m_submitAgain = new QAction(QStringLiteral("Submit Again"), this);
    m_submitAgain->setObjectName(QStringLiteral("StudySubmitAgain"));
    m_submitAgain->setToolTip(QStringLiteral("Submit the failed, cancelled or timed-out jobs again"));
    connect(m_submitAgain, &QAction::triggered, this, &StudyView::submitAgainSelected);
    m_remove = new QAction(QStringLiteral("Remove Study"), this);
    m_remove->setObjectName(QStringLiteral("StudyRemove"));
    m_remove->setToolTip(QStringLiteral("Forget this finished study; its files stay where they are"));
    connect(m_remove, &QAction::triggered, this, &StudyView::removeSelected);
    m_export = new QAction(QStringLiteral("Export as CSV"), this);
    m_export->setObjectName(QStringLiteral("StudyExport"));
    connect(m_export, &QAction::triggered, this, &StudyView::exportSelected);
}

void StudyView::addStudy(const QString &id)
{
    const Study *study = m_studies.find(id);
    if (!study || m_items.contains(id))
        return;
    auto *top = new QTreeWidgetItem(m_table);
    top->setData(0, StudyIdRole, id);
    // The study's line is long ("180 completed, 12 running, ..."): it takes the whole width.
    top->setFirstColumnSpanned(true);
    QList<QTreeWidgetItem *> rows;
    rows.reserve(qsizetype(study->jobs.size()));
    for (const StudyJob &job : study->jobs) {
        auto *row = new QTreeWidgetItem;
        row->setData(0, StudyIdRole, id);
        row->setData(0, LineRole, job.line);
        row->setText(FileColumn, QFileInfo(job.commandFile).fileName());
        row->setToolTip(FileColumn, job.commandFile);
        row->setText(OutputColumn, job.outputFile);
        rows.append(row);
    }
    top->addChildren(rows);
    m_items.insert(id, top);
    top->setExpanded(true);
    showStudy(id);
}

void StudyView::showStudy(const QString &id)
{
    const Study *study = m_studies.find(id);
    QTreeWidgetItem *top = m_items.value(id);
    if (!study || !top)
        return;
    const QString summary = Jobs::summaryText(*study);
    setText(top, FileColumn, studyCaption(*study) + QStringLiteral(": ") + summary);
    setText(top, StateColumn, summary);
    top->setToolTip(FileColumn, study->masterFile);
    const QDateTime now = QDateTime::currentDateTime();
    for (const StudyJob &job : study->jobs) {
        QTreeWidgetItem *row = top->child(job.line - 1);
        if (!row)
            continue;
        setText(row, JobColumn, job.jobId);
        setText(row, StateColumn, Jobs::stateText(job));
        setText(row, NodeColumn, job.node);
        setText(row, ElapsedColumn, Jobs::elapsedText(Jobs::elapsedSeconds(job, now)));
    }
    updateActions();
}

void StudyView::dropStudy(const QString &id)
{
    delete m_items.take(id);
    updateActions();
}

void StudyView::showReachability()
{
    m_note->setText(m_studies.cannotReachText());
    m_note->setVisible(!m_note->text().isEmpty());
}

Study *StudyView::selectedStudy(QList<int> *lines) const
{
    const QList<QTreeWidgetItem *> selected = m_table->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    const QString id = selected.constFirst()->data(0, StudyIdRole).toString();
    Study *study = m_studies.find(id);
    if (!study || !lines)
        return study;
    lines->clear();
    for (const QTreeWidgetItem *item : selected) {
        if (item->data(0, StudyIdRole).toString() != id)
            continue;
        if (!item->parent()) {
            lines->clear();
            for (const StudyJob &job : study->jobs)
                lines->append(job.line);
            break;
        }
        lines->append(item->data(0, LineRole).toInt());
    }
    return study;
}

void StudyView::updateActions()
{
    QList<int> lines;
    const Study *study = selectedStudy(&lines);
    bool anyActive = false;
    bool anyAgain = false;
    for (const int line : std::as_const(lines)) {
        const JobState state = study->jobs.at(line - 1).state;
        anyActive = anyActive || Jobs::isActive(state);
        anyAgain = anyAgain || Jobs::canSubmitAgain(state);
    }
    const bool submitting = study && m_studies.isSubmitting(study->id);
    m_cancel->setEnabled(anyActive);
    m_submitAgain->setEnabled(anyAgain && !m_submit.isBusy());
    m_remove->setEnabled(study && Jobs::isOver(*study) && !submitting);
    m_export->setEnabled(study != nullptr);
}

void StudyView::cancelSelected()
{
    QList<int> lines;
    if (const Study *study = selectedStudy(&lines))
        m_studies.cancel(study->id, lines);
}

void StudyView::submitAgainSelected()
{
    QList<int> lines;
    const Study *study = selectedStudy(&lines);
    if (!study)
        return;
    QList<int> again;
    for (const int line : std::as_const(lines)) {
        if (Jobs::canSubmitAgain(study->jobs.at(line - 1).state))
            again.append(line);
    }
    m_submit.submitAgain(study->id, again);
    updateActions();
}

void StudyView::removeSelected()
{
    const Study *study = selectedStudy();
    if (study && Jobs::isOver(*study) && !m_studies.isSubmitting(study->id))
        m_studies.remove(study->id);
}

void StudyView::exportSelected()
{
    const Study *study = selectedStudy();
    if (!study)
        return;
    const QFileInfo master(study->masterFile);
    const UserDialogs::FileRequest request{
        QStringLiteral("Export as CSV"), QStringLiteral("CSV Files [.csv]|*.csv"), QStringLiteral(".csv"),
        master.absoluteDir().filePath(master.completeBaseName() + QStringLiteral(".csv"))};
    const std::optional<QString> path = m_dialogs.saveFile(this, request);
    if (!path)
        return;
    const QFileInfo target(*path);
    QSaveFile file(*path);
    const bool written =
        (!target.exists() || (target.isFile() && !target.isSymLink())) && file.open(QIODevice::WriteOnly) &&
        file.write(StudyFile::csv(*study, QDateTime::currentDateTime())) >= 0 && file.commit();
    if (!written)
        m_dialogs.error(this, QStringLiteral("Export as CSV"),
                        QStringLiteral("Cannot create file %1.").arg(*path));
}

void StudyView::openRow(QTreeWidgetItem *item)
{
    if (!item || !item->parent())
        return;
    const Study *study = m_studies.find(item->data(0, StudyIdRole).toString());
    const int line = item->data(0, LineRole).toInt();
    if (!study || line < 1 || line > int(study->jobs.size()))
        return;
    const StudyJob &job = study->jobs.at(line - 1);
    const QFileInfo errors(Jobs::errorPath(*study, line));
    if (Jobs::isFinal(job.state) && job.state != JobState::Completed && errors.isFile() && errors.size() > 0)
        emit errorFileRequested(errors.filePath());
    else
        emit outputFileRequested(job.outputFile);
}
