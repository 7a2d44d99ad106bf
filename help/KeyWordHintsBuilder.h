#pragma once

#include "editor/KeyWords.h"

#include <QByteArray>
#include <QList>
#include <QObject>

class QThread;

// Builds the editor windows' keyword hints and the index that completion
// searches from the help file's text, on a thread of its own: a help file of
// 100,000 keywords takes seconds, and the program starts and types on while
// it is built. A newer build supersedes one under way; only the newest one's
// hints are handed on.
class KeyWordHintsBuilder : public QObject
{
    Q_OBJECT

public:
    // How much of an entry a keyword's tool tip shows.
    static constexpr int HintLines = 8;
    static constexpr int HintLineLength = 100;

    explicit KeyWordHintsBuilder(QObject *parent = nullptr);
    // Waits for builds under way: they hold no more than their own copies.
    ~KeyWordHintsBuilder() override;
    KeyWordHintsBuilder(const KeyWordHintsBuilder &) = delete;
    KeyWordHintsBuilder &operator=(const KeyWordHintsBuilder &) = delete;

    // An empty text builds empty hints: nothing is coloured or completed.
    void build(const QByteArray &helpText);
    bool isBuilding() const { return !m_threads.isEmpty(); }

signals:
    void built(SharedKeyWordHints hints);

private:
    QList<QThread *> m_threads;
    quint64 m_newest = 0;
};
