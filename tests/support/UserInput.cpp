#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/EditorWindow.h"
#include "editor/TextEditor.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QtTest>

namespace UserInput {

void pickComboEntry(QComboBox *combo, int row)
{
    // An editable box opens its list from the arrow; a click elsewhere goes
    // into the text.
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QRect arrow =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo);
    QTest::mouseClick(combo, Qt::LeftButton, {}, combo->isEditable() ? arrow.center() : QPoint());
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

void doubleClickItem(QAbstractItemView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0, list->rootIndex());
    QVERIFY(index.isValid());
    list->scrollTo(index);
    const QPoint centre = list->visualRect(index).center();
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

void clickItem(QAbstractItemView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0, list->rootIndex());
    QVERIFY(index.isValid());
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

bool activate(QWidget *window)
{
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return false;
    QTest::keyClick(focus, key, modifiers);
    return true;
}

bool typeText(const QString &text)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return false;
    QTest::keyClicks(focus, text);
    return true;
}

void clickButton(QAbstractButton *button)
{
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

bool focusText(TFrameForm &frame, TEditForm *window)
{
    if (!activate(&frame))
        return false;
    window->bringToFront();
    window->editor()->setFocus();
    return QTest::qWaitFor([window] { return QApplication::focusWidget() == window->editor(); });
}

QString hintOf(const QToolButton *button)
{
    const QString tip = button->toolTip();
    const QString status = button->statusTip();
    return status == tip ? tip : tip + QLatin1Char('|') + status;
}

} // namespace UserInput
