#pragma once

#include <QObject>

class QWidget;

// Whether assistive technology (a screen reader) is active, and the text
// editors' accessible objects to suit it.
//
// QScintilla's accessible editor counts the characters from the start of the
// text on every caret move and turns every inserted text into a QString: deep
// in a large file that costs far more than the edit itself, and Qt creates the
// object whether or not anyone listens. So the editors get it only while
// assistive technology is active, and a plain widget's accessible otherwise.
class EditorAccessibility : public QObject
{
    Q_OBJECT

public:
    static EditorAccessibility &instance();

    bool isActive() const { return m_active; }

    // Gives an editor the accessible object that suits the present state,
    // dropping one of the other kind that Qt keeps for it.
    static void renewAccessible(QWidget *editor);

signals:
    void activeChanged(bool active);

private:
    class Observer;

    EditorAccessibility();
    void setActive(bool active);

    bool m_active = false;
};
