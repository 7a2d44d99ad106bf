#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class UserDialogs;

// "Message Patterns": the user's own forms of an engine's messages, one
// regular expression a line. OK refuses a pattern that is not a regular
// expression or has no group named line, and says which and why.
class MessagePatternsDialog : public QDialog
{
    Q_OBJECT

public:
    MessagePatternsDialog(UserDialogs &dialogs, const QStringList &patterns, QWidget *parent = nullptr);

    // The patterns as the user left them, blank lines left out.
    QStringList patterns() const;

    void accept() override;

private:
    UserDialogs &m_dialogs;
    QPlainTextEdit *m_text;
};
