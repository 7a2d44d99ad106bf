#pragma once

#include <QFrame>

class QHBoxLayout;
class QLabel;
class QToolButton;

// A pale strip over an editor's text that tells the user something about it,
// with buttons to act on it.
class InfoBar : public QFrame
{
    Q_OBJECT

public:
    InfoBar(const QString &name, const QString &messageName, QWidget *parent);

    void setMessage(const QString &text);
    // A button after the message and the buttons added before it.
    QToolButton *addButton(const QString &name, const QString &text);

private:
    QLabel *m_message = nullptr;
    QHBoxLayout *m_layout = nullptr;
};
