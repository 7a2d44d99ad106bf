#pragma once

#include <QFont>

// The screen and print fonts start as this: "Courier New", 10 points, with the
// hint that lets Qt pick a fixed-pitch face where Courier New is missing.
inline const QString DefaultFontFace = QStringLiteral("Courier New");
constexpr int DefaultFontSize = 10;
QFont defaultTextFont();

// The screen and print fonts keep the face name the user chose ("Courier New"
// by default), which this machine may not have: Qt draws the text in a
// substitute. The font dialog knows only installed faces, so it is shown the
// substitute, and a choice that keeps that face keeps the stored name.
namespace FontChoice {

// The font the dialog starts on: the face actually drawn for inUse, in its size.
QFont dialogStart(const QFont &inUse);

// The font kept after the dialog: the chosen one, but under inUse's face name
// when the user left the face as the dialog showed it. Underline and strikeout
// are not part of a screen or print font.
QFont afterDialog(const QFont &inUse, const QFont &start, const QFont &chosen);

} // namespace FontChoice
