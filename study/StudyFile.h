#pragma once

#include "study/StudyJob.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// A study kept between sessions: one small JSON file per study in the
// user's data folder, so that a later start of the program, after a crash or
// on another machine that sees the same home folder, shows it again.
namespace StudyFile {

QByteArray toJson(const Study &study);
// Nothing when the text is no study (damaged, or of another program).
std::optional<Study> fromJson(const QByteArray &json);

// The folder of the study files: studies/ in the user's data folder.
QString folder();
QString pathOf(const QString &studyId);
// A new id, unique among the files of folder(): the time and a random part.
QString newId();

// Writes the study's file whole or not at all (QSaveFile); false when it
// cannot be written, or when something that is not a regular file holds its place.
bool save(const Study &study);
// Every study in folder(); files that are not regular or do not parse are
// passed over. Oldest first.
std::vector<Study> loadAll();
void remove(const QString &studyId);

// The table as comma-separated values (RFC 4180, CR LF), a header first:
// file, job id, state, exit status, node, start, end, elapsed seconds, output.
QByteArray csv(const Study &study, const QDateTime &now);

} // namespace StudyFile
