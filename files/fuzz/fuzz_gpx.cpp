// Feeds arbitrary bytes to the GPX reader and writer, checking what must hold
// for any input. The first byte chooses what the rest is:
//   - even: a GPX file, read in one of the three heights modes. Whatever the
//     reader takes from it is receiver names, no two alike, and cells a text
//     file and a sentence can carry; written as GPX and read again, it gives
//     the same rows, every cell, and nothing is left out on the way.
//   - odd: a text file of one list kind, read as a load reads it. Whatever
//     its rows hold, the GPX written from them is a file the reader takes,
//     and each row it kept comes back at the same position.

#include "files/FileReader.h"
#include "files/GpxReader.h"
#include "files/GpxWriter.h"
#include "files/LineReader.h"
#include "files/ReceiverText.h"
#include "files/fuzz/Fuzzing.h"

#include <QBuffer>
#include <QSet>
#include <cstdint>

namespace {

QStringList Rows(const ListModel& list)
{
    QStringList rows;
    for (int r = 0; r < list.Count(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.ColumnCount(); ++c)
            cells << list.Text(r, c);
        rows << cells.join(u'|');
    }
    return rows;
}

QStringList AllRows(const Lists& lists)
{
    return Rows(lists.waypoints) + QStringList{"--"} + Rows(lists.routes.List()) +
           QStringList{"--"} + Rows(lists.track);
}

// Reads `bytes` as GPX into fresh lists; false when the reader refused them.
bool ReadInto(const QByteArray& bytes, HeightsMode mode, Lists& lists)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    GpxReadResult read = ReadGpx(buffer, mode, GpxSelection::All());
    if (!read.data) {
        Require(!read.problem.isEmpty(), "refused without a reason");
        return false;
    }
    ReplaceLists(*read.data, lists, GpxSelection::All());
    return true;
}

QByteArray Written(const Lists& lists, GpxWritten* written = nullptr)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const GpxWritten result = WriteGpx(buffer, lists, GpxSelection::All());
    if (written)
        *written = result;
    return bytes;
}

void ReadWriteRead(const QByteArray& bytes, HeightsMode mode)
{
    Lists lists;
    if (!ReadInto(bytes, mode, lists))
        return;
    QSet<QString> names;
    for (int row = 0; row < lists.waypoints.Count(); ++row) {
        const QString name = lists.waypoints.Text(row, WaypointColumn::Name);
        Require(IsReceiverName(name) && !names.contains(name), "not a receiver name", name);
        names.insert(name);
    }
    for (const QString& row : AllRows(lists))
        Require(GpxCell::IsPlain(row.split(u'|').join(QString())), "a cell no record can hold",
                row);

    GpxWritten written;
    const QByteArray again = Written(lists, &written);
    Require(written.leftOut.isEmpty(), "read points left out", written.leftOut.join(u'\n'));
    Lists back;
    Require(ReadInto(again, HeightsMode::Keep, back), "own file refused", QString::fromUtf8(again));
    Require(AllRows(back) == AllRows(lists), "rows changed on the way", QString::fromUtf8(again));
}

void TextFileToGpx(ListKind kind, const QByteArray& bytes)
{
    PatientUser user;
    ProgramState state;
    ReaderState reader;
    Lists lists;
    {
        QByteArray data = bytes;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        RecordReader records(kind, lists, state, reader, user);
        LineReader lines(buffer);
        QByteArray line;
        bool overlong = false;
        while (lines.Next(line, overlong)) {
            if (!overlong)
                records.ReadLine(lines.Utf8() ? QString::fromUtf8(line)
                                              : QString::fromLatin1(line));
        }
    }
    const QByteArray gpx = Written(lists);
    Lists back;
    Require(ReadInto(gpx, HeightsMode::Keep, back), "written GPX refused", QString::fromUtf8(gpx));
    if (kind == ListKind::Routes)
        return; // route points without waypoints are left out
    const ListModel& list = lists.Of(kind);
    const ListModel& read = back.Of(kind);
    const int latitude =
        kind == ListKind::Track ? int(TrackColumn::Latitude) : int(WaypointColumn::Latitude);
    int next = 0;
    for (int row = 0; row < list.Count(); ++row) {
        const QString ns = list.Text(row, latitude + 1), we = list.Text(row, latitude + 3);
        if (!GpsTextToDecimalDegrees(list.Text(row, latitude), ns, true) ||
            !GpsTextToDecimalDegrees(list.Text(row, latitude + 2), we, false))
            continue; // left out
        for (int c = latitude; c < latitude + 4; ++c)
            Require(read.Text(next, c) == list.Text(row, c), "position changed",
                    QString::fromUtf8(gpx));
        ++next;
    }
    Require(next == read.Count(), "rows appeared", QString::fromUtf8(gpx));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (choice % 2 == 0)
        ReadWriteRead(rest, HeightsMode(choice / 2 % 3));
    else
        TextFileToGpx(ListKind(choice / 2 % 3 + 1), rest);
    return 0;
}
