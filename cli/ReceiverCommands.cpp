#include "cli/ReceiverCommands.h"

#include "cli/ListFiles.h"
#include "files/FileReader.h"
#include "gpslink/Download.h"
#include "gpslink/Upload.h"
#include "workspace/PropertySettings.h"
#include "workspace/ReadBack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <map>
#include <vector>

namespace {

const std::vector<ListKind> kAllKinds{ListKind::Waypoints, ListKind::Routes, ListKind::Track};

// The file of each list in a backup folder.
QString BackupFileName(ListKind kind)
{
    switch (kind) {
    case ListKind::Routes:
        return QStringLiteral("routes.txt");
    case ListKind::Track:
        return QStringLiteral("track.txt");
    case ListKind::Waypoints:
        break;
    }
    return QStringLiteral("waypoints.txt");
}

QString ListName(ListKind kind)
{
    switch (kind) {
    case ListKind::Routes:
        return QStringLiteral("routes");
    case ListKind::Track:
        return QStringLiteral("track points");
    case ListKind::Waypoints:
        break;
    }
    return QStringLiteral("waypoints");
}

void PrintData(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// A file of a backup without a record of its list: the list was empty when
// the backup was made.
bool HoldsNoRecords(ListKind kind, const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && !FileHasRecordsOf(kind, file);
}

// The file a download goes to, empty for standard output.
struct Target
{
    ListKind kind;
    QString path;
};

// Writes what the download of the target's list gave: the whole list to the
// file, or the rows received before it ended to the file's ".partial".
int WriteDownloaded(Session& session, const Target& target, bool complete)
{
    const FileFormat& format = FileFormatFor(target.path);
    if (complete)
        return session.StatusOf(WriteListFile(session, target.kind, target.path, format).status);
    // Standard output gets nothing it could take for the whole list.
    if (target.path.isEmpty() || target.path == u"-") {
        session.Ui().Message(QStringLiteral("The download did not complete: the %1 rows received "
                                            "are not written.")
                                 .arg(session.Space().List(target.kind).Count()));
        return ExitStatus::kSuccess;
    }
    const QString partial = target.path + QStringLiteral(".partial");
    const FileOutcome written = WriteListFile(session, target.kind, partial, format);
    if (written.status == FileStatus::Written)
        session.Ui().Message(
            QStringLiteral("The download did not complete: the %1 rows received are in %2, and "
                           "%3 is untouched.")
                .arg(session.Space().List(target.kind).Count())
                .arg(QDir::toNativeSeparators(partial), QDir::toNativeSeparators(target.path)));
    return session.StatusOf(written.status);
}

// Downloads each list again and compares it with what was sent.
int Verify(Session& session, const std::vector<ListKind>& kinds)
{
    Workspace& space = session.Space();
    int differences = 0;
    for (const ListKind kind : kinds) {
        if (session.Interrupted())
            return ExitStatus::kFailed;
        Lists received;
        ExchangeOutcome outcome = ExchangeOutcome::Busy;
        {
            ExchangeFrame frame(space.Link(), space.Ui(), DownloadActivity(kind));
            // Heights as the receiver holds them, to compare with what went up.
            if (frame.Started())
                outcome = GpsDownload(space.Link(), space.Ui(), received, kind, false);
        }
        if (outcome != ExchangeOutcome::Completed)
            return session.StatusOf(outcome);
        const QStringList found = ReadBackDifferences(kind, space.Data(), received);
        if (!found.isEmpty())
            PrintData(found.join(u'\n') + u'\n');
        differences += int(found.size());
        space.Ui().Message(
            found.isEmpty()
                ? QStringLiteral("Read back: the GPS holds the %1 as sent.").arg(ListName(kind))
                : QStringLiteral("Read back: %1 differences in the %2.")
                      .arg(found.size())
                      .arg(ListName(kind)));
    }
    return differences > 0 ? ExitStatus::kFailed : ExitStatus::kSuccess;
}

} // namespace

int RunPorts()
{
    QString text;
    for (const SerialDevice& device : PresentSerialDevices(true))
        text += device.path + u'\t' + device.description + u'\n';
    PrintData(text);
    return ExitStatus::kSuccess;
}

int RunInfo(Session& session)
{
    if (const int status = session.Prepare(true))
        return status;
    const int status = session.StatusOf(session.Connect());
    if (status == ExitStatus::kSuccess) {
        const VersionSentence& receiver = session.Space().Link().Receiver();
        PrintData(QStringLiteral("Model code: %1\nModel name: %2\nVersion: %3\n")
                      .arg(receiver.modelCode, receiver.modelName, receiver.software));
    }
    session.Disconnect();
    return session.Worse(status, ExitStatus::kSuccess);
}

int RunDownload(Session& session)
{
    const Invocation& in = session.Options();
    if (const int status = session.Prepare(true))
        return status;
    std::vector<Target> targets;
    std::vector<ListKind> order;
    if (in.kind) {
        // A folder that is not there would lose the whole download at its end.
        const QFileInfo file(in.output);
        if (!in.output.isEmpty() && in.output != u"-" && !file.absoluteDir().exists()) {
            session.Ui().Message(QDir::toNativeSeparators(file.absolutePath()) +
                                     QStringLiteral(" is not a folder"),
                                 MessageIcon::Exclamation);
            return ExitStatus::kFile;
        }
        targets.push_back({*in.kind, in.output});
        // Route points take their positions from the waypoints, fetched first.
        if (*in.kind == ListKind::Routes)
            order.push_back(ListKind::Waypoints);
        order.push_back(*in.kind);
    } else {
        if (!QDir().mkpath(in.directory)) {
            session.Ui().Message(QDir::toNativeSeparators(in.directory) +
                                     QStringLiteral(" could not be created"),
                                 MessageIcon::Exclamation);
            return ExitStatus::kFile;
        }
        for (const ListKind kind : kAllKinds)
            targets.push_back({kind, QDir(in.directory).filePath(BackupFileName(kind))});
        order = kAllKinds;
    }

    int status = session.StatusOf(session.Connect());
    std::map<ListKind, bool> complete; // the lists whose download ran
    if (status == ExitStatus::kSuccess) {
        for (const ListKind kind : order) {
            if (session.Interrupted())
                break;
            const ExchangeOutcome outcome = session.Space().Download(kind);
            complete[kind] = outcome == ExchangeOutcome::Completed;
            if (outcome != ExchangeOutcome::Completed) {
                status = session.StatusOf(outcome);
                break;
            }
        }
    }
    session.Disconnect();
    for (const Target& target : targets) {
        const auto ran = complete.find(target.kind);
        if (ran != complete.end())
            status = session.Worse(status, WriteDownloaded(session, target, ran->second));
    }
    return session.Worse(status, ExitStatus::kSuccess);
}

int RunUpload(Session& session)
{
    const Invocation& in = session.Options();
    if (const int status = session.Prepare(true))
        return status;
    // Every file is read and every upload's question asked before the
    // receiver is connected: a Cancel at any of them sends nothing at all.
    std::vector<ListKind> loaded;
    for (const ListKind kind : in.kind ? std::vector<ListKind>{*in.kind} : kAllKinds) {
        const QString path = in.kind ? in.input : QDir(in.directory).filePath(BackupFileName(kind));
        if (!in.kind && HoldsNoRecords(kind, path)) {
            session.Ui().Message(QDir::toNativeSeparators(path) + QStringLiteral(" holds no ") +
                                 ListName(kind) + QStringLiteral(": none are sent."));
            continue;
        }
        const FileOutcome read = ReadListFile(session, kind, path);
        if (read.status != FileStatus::Read)
            return session.StatusOf(read.status);
        loaded.push_back(kind);
    }
    for (const ListKind kind : loaded) {
        const ExchangeOutcome agreed = AskBeforeUpload(session.Ui(), session.Space().Data(), kind);
        if (agreed != ExchangeOutcome::Completed)
            return session.StatusOf(agreed);
    }

    int status = session.StatusOf(session.Connect());
    std::vector<ListKind> sent;
    for (const ListKind kind : loaded) {
        if (status != ExitStatus::kSuccess || session.Interrupted())
            break;
        const ExchangeOutcome outcome = session.Space().Upload(kind, UploadQuestions::Agreed);
        status = session.StatusOf(outcome);
        if (outcome == ExchangeOutcome::Completed)
            sent.push_back(kind);
    }
    if (status == ExitStatus::kSuccess && in.verify)
        status = Verify(session, sent);
    session.Disconnect();
    return session.Worse(status, ExitStatus::kSuccess);
}

int RunDelete(Session& session)
{
    if (const int status = session.Prepare(true))
        return status;
    int status = session.StatusOf(session.Connect());
    if (status == ExitStatus::kSuccess)
        status = session.StatusOf(session.Space().DeleteAllInReceiver(*session.Options().kind));
    session.Disconnect();
    return session.Worse(status, ExitStatus::kSuccess);
}
