#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The print and printer set-up commands of every window that shows text. They
// work on the frame's one printer and in its print font, and the frame's status
// line tells the user while a job runs.
void PrintWindowLines(QWidget *window, const QString &title, const QStringList &lines);
void SetUpWindowPrinter(QWidget *window);
