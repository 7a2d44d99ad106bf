// The frame's side of keeping unsaved text through a crash: the offer of
// what ended programs left, at start-up, and the copies of this program's.
#include "app/MDIFrame.h"
#include "core/FileNames.h"
#include "core/RecoveryStore.h"
#include "documents/DocumentWindows.h"
#include "documents/EditorWindow.h"
#include "documents/RecoveryCopies.h"

#include <QLocale>

void TFrameForm::startRecovery()
{
    m_recoveryStore = new RecoveryStore(RecoveryStore::defaultFolder(), this);
    offerRecovery();
    m_recoveryCopies = new RecoveryCopies(*m_documents, *m_recoveryStore, this);
    connect(m_documents, &DocumentWindows::windowCreated, m_recoveryCopies, [this](TChildForm *window) {
        if (auto *editorWindow = qobject_cast<TEditForm *>(window))
            m_recoveryCopies->watch(editorWindow);
    });
    // Recovered text is this program's to keep from now on.
    m_recoveryCopies->writeCopies();
}

void TFrameForm::offerRecovery()
{
    for (const RecoveryCopy &copy : m_recoveryStore->claimLeftCopies()) {
        const QString time = QLocale().toString(copy.written.toLocalTime(), QLocale::ShortFormat);
        const QString title =
            copy.fileName.isEmpty() ? TEditForm::UntitledName : FileNames::forDisplay(copy.fileName);
        const std::optional<bool> recover =
            m_dialogs.choose(this, title, QStringLiteral("Recover unsaved text from %1?").arg(time),
                             QStringLiteral("&Recover"), QStringLiteral("&Discard"));
        if (!recover)
            continue;
        if (*recover) {
            const std::optional<QByteArray> text = RecoveryStore::readText(copy);
            if (!text || !m_documents->showRecoveredText(copy.kind, copy.fileName, *text))
                continue;
        }
        m_recoveryStore->discard(copy);
    }
    // What the user put off is offered again at the next start.
    m_recoveryStore->releaseClaims();
}
