#pragma once

#include "diskchanges/FileSnapshot.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The help file's text for the program's readers of it (the keyword colours
// at start-up, the help window's list and every search). Each read looks at
// the file as it is then, but reads its bytes again only when the file is no
// longer the one read last: a help file of 20 MB takes a tenth of a second
// to read into fresh memory, the first F1 of a session included.
class HelpText
{
public:
    // The file's text as UTF-8 (TextFile::readText's); throws FileError
    // when it cannot be read.
    QByteArray read(const QString &path);

private:
    QString m_path;
    FileStamp m_stamp;
    // Whether the stamp tells every later change: not when the file was
    // written just before it was read, as a later write in the same tick of
    // the file system's clock would leave the stamp as it was.
    bool m_stampTells = false;
    QByteArray m_text;
};
