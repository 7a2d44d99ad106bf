#pragma once

#include <QList>
#include <QWidget>

class QMenu;

// What the frame needs of every child window: the menus it brings to the
// frame's menu bar while it is active, and its close question.
class TChildForm : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The child's own menus (File, then Edit where it has one), shown before
    // the frame's Execute, Window and Help menus while the child is active.
    virtual QList<QMenu *> mergedMenus() const = 0;

    // Whether the window may close; may ask the user. Also asked, for every
    // child in turn, when the frame is about to close.
    virtual bool FormCloseQuery() { return true; }
};
