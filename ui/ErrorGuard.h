#pragma once

#include "core/FileError.h"
#include "ui/UserDialogs.h"

#include <QString>

// Runs one user action; a file-layer failure anywhere inside it ends the
// action and is shown in the general error box. No exception reaches Qt's
// event loop.
template <typename Action> bool runGuarded(UserDialogs &dialogs, QWidget *parent, Action &&action)
{
    try {
        action();
        return true;
    } catch (const FileError &failure) {
        dialogs.error(parent, QStringLiteral("Ostrel"), failure.message() + QLatin1Char('.'));
        return false;
    }
}
