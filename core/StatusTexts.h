#pragma once

#include <QString>

// What the frame's status line says when the program waits for the user.
namespace StatusTexts {
inline const QString Ready = QStringLiteral("Ready.");
} // namespace StatusTexts
