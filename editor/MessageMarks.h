#pragma once

#include <QObject>
#include <QString>

#include <vector>

class TextEditor;

// The marks in an editor's margin beside the lines that a run's messages
// name, each with its message as the mark's tool tip. Lines are the file's
// lines, also where long lines are shown in pieces. Scintilla moves a mark
// with its line as the text is edited; a new text has none.
class MessageMarks : public QObject
{
    Q_OBJECT

public:
    // The editor's marks, made on first use.
    static MessageMarks &of(TextEditor &editor);

    // Marks the file's line (counting from 1); a line past the end is left
    // unmarked.
    void add(int line, const QString &message);
    void clear();
    // The file's lines that carry a mark, counting from 1, in order.
    std::vector<int> markedLines() const;
    // Where the mark put on the file's line `line` is now that the text
    // has been edited, or `line` when there is none.
    int lineNow(int line) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit MessageMarks(TextEditor &editor);
    void showMargin(bool shown);
    // The messages of the shown line under the mouse at height y.
    QString messagesAt(int y) const;

    TextEditor &m_editor;
    QObject *m_viewport;
    int m_marker;
    struct Mark
    {
        int handle; // Scintilla's
        int line;   // the file's, when the mark was put there
        QString message;
    };
    std::vector<Mark> m_marks;
};
