#pragma once

#include "core/GrowingFile.h"
#include "diskchanges/FileSnapshot.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class DocumentWindows;

// The output window during a command-file run: it shows the output file as
// the engine writes it, new bytes appended as they land, a look every
// 200 ms. A user at the end of the text stays at its end; one reading
// further up stays there, and a mark says that more has come below.
//
// The window holds at most ShownLimit bytes meanwhile: an engine that
// writes gigabytes keeps the program's memory near the file's size and
// every look short. Beyond that only the file's end is shown until the run
// ends. A file written anew (truncated, replaced) is taken again from its
// start; only a regular file is read.
class OutputFollower : public QObject
{
    Q_OBJECT

public:
    static constexpr int LookInterval = 200;
    static constexpr qint64 ShownLimit = qint64(32) << 20;
    // The most one look reads and shows: a millisecond or two of work. An
    // engine that writes faster is shown by its end (see ShownLimit).
    static constexpr qsizetype PieceLimit = qsizetype(1) << 20;
    static constexpr qint64 EndCatchUp = qint64(4) << 20;

    OutputFollower(DocumentWindows &documents, QString path, QObject *parent = nullptr);
    ~OutputFollower() override;

    // A master-file run holds the command-file run: no looks meanwhile.
    void setHeld(bool held);

    // The end of the run: the bytes not yet shown come in, at once, when
    // they are at most EndCatchUp. When the window then shows the
    // file whole, as it is, what was seen of the file; nothing when it is
    // to be loaded as any other.
    std::optional<FileSnapshot> finish();
    // No more looks; the mark and the note go.
    void leave();

signals:
    // A word for the status line on what the window does not show; empty
    // when it shows it all.
    void noteChanged(const QString &text);

private:
    void look(qsizetype limit);
    // The window shows the file from its start again, empty.
    void startText();
    void giveUp();
    // Whether the window still shows what this follower put there.
    bool stillShown() const;
    // The bytes read made into what the window shows.
    QByteArray shownText(QByteArray bytes);
    void show(const QByteArray &text);
    void setNote(const QString &text);

    DocumentWindows &m_documents;
    QString m_path;
    GrowingFile m_file;
    QTimer m_timer;
    bool m_shown = false;
    bool m_gaveUp = false;
    // The window's text is the file's bytes from its start, as they are.
    bool m_verbatim = true;
    // A piece that starts in a line the window does not show.
    bool m_midLine = false;
    bool m_atFileStart = true;
    bool m_windows1252 = false;
    // The start of a character that the next piece finishes.
    QByteArray m_carry;
    qsizetype m_lineLength = 0;
    qsizetype m_shownLength = 0;
    ContentHash::Stream m_hash;
    QString m_note;
};
