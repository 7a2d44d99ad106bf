#include "help/KeyWordHintsBuilder.h"

#include "help/KeyWordIndex.h"

#include <QThread>

#include <memory>

KeyWordHintsBuilder::KeyWordHintsBuilder(QObject *parent) : QObject(parent)
{}

KeyWordHintsBuilder::~KeyWordHintsBuilder()
{
    for (QThread *thread : std::as_const(m_threads)) {
        thread->wait();
        delete thread;
    }
}

void KeyWordHintsBuilder::build(const QByteArray &helpText)
{
    const quint64 generation = ++m_newest;
    auto hints = std::make_shared<SharedKeyWordHints>();
    QThread *thread = QThread::create([helpText, hints] {
        *hints = std::make_shared<const KeyWordHints>(BuildKeyWordHints(helpText, HintLines, HintLineLength),
                                                      BuildKeyWordList(helpText));
    });
    m_threads.append(thread);
    connect(thread, &QThread::finished, this, [this, thread, generation, hints] {
        m_threads.removeOne(thread);
        thread->deleteLater();
        if (generation == m_newest)
            emit built(*hints);
    });
    thread->start(QThread::LowPriority);
}
