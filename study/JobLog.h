#pragma once

class RunLog;
struct Study;
struct StudyJob;

// A batch job that has ended gets its Run Log entry as a run does: the
// command file, what the engine wrote to standard error (the job's error
// file, its newest part when large) and how it ended.
void logJobEnd(RunLog &log, const Study &study, const StudyJob &job);
