#include "study/StudyFile.h"

#include "core/UserSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

namespace StudyFile {

namespace {

const QString Kind = QStringLiteral("ostrel-study");
constexpr int Version = 1;

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(Qt::ISODate) : QString();
}

QDateTime timeFrom(const QJsonValue &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

QJsonObject jobObject(const StudyJob &job)
{
    QJsonObject object{{QStringLiteral("line"), job.line},
                       {QStringLiteral("command"), job.commandFile},
                       {QStringLiteral("output"), job.outputFile},
                       {QStringLiteral("job"), job.jobId},
                       {QStringLiteral("state"), Jobs::stateWord(job.state)}};
    if (job.exitStatus >= 0)
        object.insert(QStringLiteral("exit"), job.exitStatus);
    if (job.signal > 0)
        object.insert(QStringLiteral("signal"), job.signal);
    if (!job.node.isEmpty())
        object.insert(QStringLiteral("node"), job.node);
    if (job.start.isValid())
        object.insert(QStringLiteral("start"), timeText(job.start));
    if (job.end.isValid())
        object.insert(QStringLiteral("end"), timeText(job.end));
    if (job.cancelAsked)
        object.insert(QStringLiteral("cancelAsked"), true);
    if (job.logged)
        object.insert(QStringLiteral("logged"), true);
    return object;
}

StudyJob jobFrom(const QJsonObject &object)
{
    StudyJob job;
    job.line = object.value(QStringLiteral("line")).toInt();
    job.commandFile = object.value(QStringLiteral("command")).toString();
    job.outputFile = object.value(QStringLiteral("output")).toString();
    job.jobId = object.value(QStringLiteral("job")).toString();
    job.state = Jobs::stateFromWord(object.value(QStringLiteral("state")).toString());
    job.exitStatus = object.value(QStringLiteral("exit")).toInt(-1);
    job.signal = object.value(QStringLiteral("signal")).toInt();
    job.node = object.value(QStringLiteral("node")).toString();
    job.start = timeFrom(object.value(QStringLiteral("start")));
    job.end = timeFrom(object.value(QStringLiteral("end")));
    job.cancelAsked = object.value(QStringLiteral("cancelAsked")).toBool();
    job.logged = object.value(QStringLiteral("logged")).toBool();
    return job;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool regularOrAbsent(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() ? !info.isSymLink() : !info.exists() && !info.isSymLink();
}

} // namespace

QByteArray toJson(const Study &study)
{
    QJsonArray jobs;
    for (const StudyJob &job : study.jobs)
        jobs.append(jobObject(job));
    const QJsonObject object{{QStringLiteral("kind"), Kind},
                             {QStringLiteral("version"), Version},
                             {QStringLiteral("master"), study.masterFile},
                             {QStringLiteral("folder"), study.folder},
                             {QStringLiteral("engine"), study.enginePath},
                             {QStringLiteral("options"), study.batchOptions},
                             {QStringLiteral("submitted"), timeText(study.submitted)},
                             {QStringLiteral("jobs"), jobs}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<Study> fromJson(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonObject object = document.object();
    if (error.error != QJsonParseError::NoError || object.value(QStringLiteral("kind")).toString() != Kind ||
        object.value(QStringLiteral("version")).toInt() != Version)
        return std::nullopt;
    Study study;
    study.masterFile = object.value(QStringLiteral("master")).toString();
    study.folder = object.value(QStringLiteral("folder")).toString();
    study.enginePath = object.value(QStringLiteral("engine")).toString();
    study.batchOptions = object.value(QStringLiteral("options")).toString();
    study.submitted = timeFrom(object.value(QStringLiteral("submitted")));
    const QJsonArray jobs = object.value(QStringLiteral("jobs")).toArray();
    for (const auto &job : jobs)
        study.jobs.push_back(jobFrom(job.toObject()));
    if (study.folder.isEmpty() || study.jobs.empty())
        return std::nullopt;
    return study;
}

QString folder()
{
    return QDir(userDataFolder()).filePath(QStringLiteral("studies"));
}

QString pathOf(const QString &studyId)
{
    return QDir(folder()).filePath(studyId + QStringLiteral(".json"));
}

QString newId()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (;;) {
        QString id =
            stamp + QLatin1Char('-') + QString::number(QRandomGenerator::global()->bounded(0x10000), 16);
        if (!QFileInfo::exists(pathOf(id)))
            return id;
    }
}

bool save(const Study &study)
{
    const QString path = pathOf(study.id);
    if (!QDir().mkpath(folder()) || !regularOrAbsent(path))
        return false;
    // Written beside and renamed over the old one: a reader (another
    // machine, or the next start after a crash) sees the old file or the
    // new one, never a part. No fsync: the file is rewritten after every
    // poll that changes a state, and waiting for the disk each time would
    // hold the program.
    const QString temporary =
        path + QStringLiteral(".tmp-") + QString::number(QCoreApplication::applicationPid());
    QFile file(temporary);
    if (!regularOrAbsent(temporary) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray json = toJson(study);
    const bool written = file.write(json) == json.size();
    file.close();
    if (!written || file.error() != QFileDevice::NoError ||
        std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

std::vector<Study> loadAll()
{
    std::vector<Study> studies;
    const QFileInfoList files =
        QDir(folder()).entryInfoList({QStringLiteral("*.json")}, QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &info : files) {
        // A study file is small; anything large is not one.
        if (!info.isFile() || info.size() > qint64(64) * 1024 * 1024)
            continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        std::optional<Study> study = fromJson(file.readAll());
        if (!study)
            continue;
        study->id = info.completeBaseName();
        studies.push_back(std::move(*study));
    }
    return studies;
}

void remove(const QString &studyId)
{
    const QString path = pathOf(studyId);
    if (QFileInfo(path).isFile())
        QFile::remove(path);
}

QByteArray csv(const Study &study, const QDateTime &now)
{
    QStringList lines{QStringLiteral("file,job id,state,exit status,node,start,end,elapsed,output")};
    for (const StudyJob &job : study.jobs) {
        const qint64 elapsed = Jobs::elapsedSeconds(job, now);
        lines.append(QStringList{csvField(job.commandFile), job.jobId, Jobs::stateWord(job.state),
                                 job.exitStatus >= 0 ? QString::number(job.exitStatus) : QString(),
                                 csvField(job.node), timeText(job.start), timeText(job.end),
                                 elapsed >= 0 ? QString::number(elapsed) : QString(),
                                 csvField(job.outputFile)}
                         .join(QLatin1Char(',')));
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

} // namespace StudyFile
