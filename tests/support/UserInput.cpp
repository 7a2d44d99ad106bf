#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/EditorWindow.h"
#include "documents/TextEditor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QtTest>

namespace UserInput {

void pickComboEntry(QComboBox *combo, int row)
{
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView *view = combo->view();
    QVERIFY(QTest::qWaitFor([view] { return view->isVisible(); }));
    const QModelIndex index = view->model()->index(row, combo->modelColumn(), view->rootIndex());
    view->scrollTo(index);
    const QPoint centre = view->visualRect(index).center();
    // The list ignores a release that comes so soon after it opened that it
    // may belong to the click that opened it.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseMove(view->viewport(), centre);
    // A press and a release, as a click on the list does; the release picks.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QVERIFY(QTest::qWaitFor([view] { return !view->isVisible(); }));
}

void doubleClickItem(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    QVERIFY(item);
    list->scrollToItem(item);
    const QPoint centre = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

int visibleComboRows(QComboBox *combo)
{
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    if (!QTest::qWaitFor([view] { return view->isVisible(); }))
        return -1;
    const int rowHeight = view->sizeHintForRow(0);
    const int rows = rowHeight > 0 ? view->viewport()->height() / rowHeight : -1;
    combo->hidePopup();
    return rows;
}

bool focusText(TFrameForm &frame, TEditForm *window)
{
    QApplication::setActiveWindow(&frame);
    if (!QTest::qWaitForWindowActive(&frame))
        return false;
    window->bringToFront();
    window->editor()->setFocus();
    return QTest::qWaitFor([window] { return QApplication::focusWidget() == window->editor(); });
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void typeText(const QString &text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace UserInput
