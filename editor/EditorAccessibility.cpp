#include "editor/EditorAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

class EditorAccessibility::Observer : public QAccessible::ActivationObserver
{
public:
    explicit Observer(EditorAccessibility &owner) : m_owner(owner) {}
    void accessibilityActiveChanged(bool active) override { m_owner.setActive(active); }

private:
    EditorAccessibility &m_owner;
};

namespace {

// Asked for every widget's accessible, from its most derived class up. A
// QScintilla editor is answered at its own class, before QScintilla's factory
// would be asked for its base class.
QAccessibleInterface *plainEditorFactory(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType() || !object->inherits("QsciScintillaBase") ||
        EditorAccessibility::instance().isActive())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
}

} // namespace

EditorAccessibility::EditorAccessibility() : m_active(QAccessible::isActive())
{
    // Both live as long as the program: Qt keeps no way to remove a factory.
    static Observer observer(*this);
    QAccessible::installActivationObserver(&observer);
    QAccessible::installFactory(plainEditorFactory);
}

EditorAccessibility &EditorAccessibility::instance()
{
    static EditorAccessibility accessibility;
    return accessibility;
}

void EditorAccessibility::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    emit activeChanged(active);
}

void EditorAccessibility::renewAccessible(QWidget *editor)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(editor);
    const bool full = accessible && accessible->textInterface();
    if (accessible && full != instance().isActive())
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(accessible));
}
