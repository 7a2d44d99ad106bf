#pragma once

#include <QList>
#include <QString>

// A file to open and, when the user named one, the place to show in it:
// lines and columns count from 1, and 0 means "not given".
struct FileAtLine
{
    QString path;
    int line = 0;
    int column = 0;

    bool operator==(const FileAtLine &other) const
    {
        return path == other.path && line == other.line && column == other.column;
    }
};

using FilesAtLines = QList<FileAtLine>;
