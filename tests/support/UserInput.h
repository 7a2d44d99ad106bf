#pragma once

#include <Qt>

class QAbstractButton;
class QToolButton;
class QAbstractItemView;
class QComboBox;
class QString;
class QWidget;
class TEditForm;
class TFrameForm;

// Acting on widgets as a user does: through the mouse on a view's viewport,
// so that the widgets' own event handling runs, not a shortcut around it.
namespace UserInput {

// Drops the list down and clicks the entry at row.
void pickComboEntry(QComboBox *combo, int row);

// Double-clicks the item at row of a list.
void doubleClickItem(QAbstractItemView *list, int row);

// Rows a combo box's drop-down list shows at once.
int visibleComboRows(QComboBox *combo);

// Clicks the item at row of a list, as a user selects it.
void clickItem(QAbstractItemView *list, int row);

// Makes window the active window, so that the focus and keys reach it;
// false when the platform never made it active.
bool activate(QWidget *window);

// A key press and release sent where the keyboard's keys go: to the focus
// widget. False when no widget has the focus.
bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types text into the focus widget.
bool typeText(const QString &text);

// A tool button's hint as a window's definition writes it: its tool tip, then
// "|" and the text the status line shows while the mouse is over it; a hint
// whose status text is its tool tip is written once, without the "|".
QString hintOf(const QToolButton *button);

// Clicks a button with the mouse, which also moves the focus to it.
void clickButton(QAbstractButton *button);

// Makes the frame the active window and puts the focus in window's text, as
// a click on it would; false when the focus did not get there.
bool focusText(TFrameForm &frame, TEditForm *window);

} // namespace UserInput
