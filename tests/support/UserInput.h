#pragma once

#include <QString>
#include <Qt>

class QComboBox;
class QListWidget;
class TEditForm;
class TFrameForm;

// Acting on widgets as a user does: through the mouse on a view's viewport,
// so that the widgets' own event handling runs, not a shortcut around it.
namespace UserInput {

// Drops the list down and clicks the entry at row.
void pickComboEntry(QComboBox *combo, int row);

// Double-clicks the item at row of a list.
void doubleClickItem(QListWidget *list, int row);

// Rows a combo box's drop-down list shows at once.
int visibleComboRows(QComboBox *combo);

// Makes the frame the active window and puts the focus in window's text, as
// a click on it would; false when the focus did not get there.
bool focusText(TFrameForm &frame, TEditForm *window);

// A key press, and typing, in whichever widget has the focus: where the
// user's keys go.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeText(const QString &text);

} // namespace UserInput
