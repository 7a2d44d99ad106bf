#pragma once

#include <QListView>

// The help window's keyword list: a view on the keywords that tells, as a
// list widget does, when the user changed the selection. The signal is the
// view's own, so blocking the view's signals silences it while the view
// itself still repaints the rows whose selection changed.
class KeyWordListView : public QListView
{
    Q_OBJECT

public:
    using QListView::QListView;

signals:
    void keyWordSelectionChanged();

protected:
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override
    {
        QListView::selectionChanged(selected, deselected);
        emit keyWordSelectionChanged();
    }
};
