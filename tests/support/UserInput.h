#pragma once

class QComboBox;
class QListWidget;

// Acting on widgets as a user does: through the mouse on a view's viewport,
// so that the widgets' own event handling runs, not a shortcut around it.
namespace UserInput {

// Drops the list down and clicks the entry at row.
void pickComboEntry(QComboBox *combo, int row);

// Double-clicks the item at row of a list.
void doubleClickItem(QListWidget *list, int row);

// Rows a combo box's drop-down list shows at once.
int visibleComboRows(QComboBox *combo);

} // namespace UserInput
