#include "cli/ListFiles.h"

#include "files/FileReader.h"
#include "files/FileWriter.h"

#include <QDateTime>
#include <QFile>
#include <cstdio>

namespace {

bool IsStandardStream(const QString& path)
{
    return path.isEmpty() || path == u"-";
}

} // namespace

FileOutcome ReadListFile(Session& session, ListKind kind, const QString& path)
{
    Workspace& space = session.Space();
    if (IsStandardStream(path)) {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly))
            return {FileStatus::Failed, 0, {}};
        return LoadListText(kind, input.readAll(), QStringLiteral("standard input"), space.Data(),
                            space.State(), space.Reader(), space.Ui());
    }
    return FileFormatFor(path).Load(kind, path, space.Data(), space.State(), space.Reader(),
                                    space.Ui());
}

FileOutcome WriteListFile(Session& session, ListKind kind, const QString& path,
                          const FileFormat& format)
{
    Workspace& space = session.Space();
    if (!IsStandardStream(path))
        return format.Save(kind, path, space.Data(), space.Ui(), QDateTime::currentDateTime());
    int written = 0;
    const QByteArray text =
        FileText(kind, space.Data(), StampOf(QDateTime::currentDateTime()), &written);
    if (std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) !=
            std::size_t(text.size()) ||
        std::fflush(stdout) != 0) {
        const QString message = QStringLiteral("Standard output could not be written");
        space.Ui().Message(message, MessageIcon::Exclamation);
        return {FileStatus::Failed, 0, message};
    }
    return {FileStatus::Written, written, {}};
}

int RunShow(Session& session)
{
    if (const int status = session.Prepare(false))
        return status;
    const ListKind kind = *session.Options().kind;
    const FileOutcome read = ReadListFile(session, kind, session.Options().input);
    if (read.status != FileStatus::Read)
        return session.StatusOf(read.status);
    const ListModel& list = session.Space().List(kind);
    QString text;
    for (int row = 0; row < list.Count(); ++row) {
        QStringList cells;
        for (int column = 0; column < list.ColumnCount(); ++column)
            cells << list.Text(row, column);
        text += cells.join(u'\t') + u'\n';
    }
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? ExitStatus::kSuccess : ExitStatus::kFile;
}
