// Feeds arbitrary bytes to the file reader and the position text forms,
// checking what must hold for any input. The first byte chooses what the rest
// is, so that each run does one thing and runs stay short:
//   - a whole file of one list kind (and a heights mode): read as a load reads
//     it, written as a save writes it, and the written text read again, which
//     must give back every position in range and every row;
//   - one text for every position form: every conversion is "Err" or a
//     well-formed position, a DM position survives the way through the file
//     form, and a list position in range is never saved in a form that the
//     reader refuses.

#include "files/DecimalText.h"
#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "files/LineReader.h"
#include "files/PositionText.h"
#include "files/fuzz/Fuzzing.h"
#include "model/TextNumber.h"

#include <QBuffer>
#include <cmath>
#include <cstdint>

namespace {

bool IsGpsText(const QString& text, bool isLatitude)
{
    const int degreeDigits = isLatitude ? 2 : 3;
    if (text.size() != degreeDigits + 7)
        return false;
    for (int i = 0; i < text.size() - 1; ++i) {
        const bool point = i == degreeDigits + 2;
        if (point ? text[i] != u'.' : !text[i].isDigit())
            return false;
    }
    const QChar h = text.back();
    return isLatitude ? (h == u'N' || h == u'S') : (h == u'E' || h == u'W');
}

void CheckTextForms(const QString& field)
{
    for (const bool isLatitude : {true, false}) {
        for (const QString& converted :
             {DegreesToGpsText(field, isLatitude), DegMinToGpsText(field, isLatitude),
              DegMinSecToGpsText(field, isLatitude)})
            Require(converted == kConversionError || IsGpsText(converted, isLatitude),
                    "malformed position", field);
        // Text after the number is never read; it also turns off the short
        // cuts for the common forms, so both ways must agree.
        const QString tail = field + QStringLiteral("x");
        Require(DegMinToGpsText(tail, isLatitude) == DegMinToGpsText(field, isLatitude),
                "DM short cut differs", field);
        Require(GpsTextToDegMin(tail, u"N") == GpsTextToDegMin(field, u"N"),
                "DM text short cut differs", field);
        const QString dm = DegMinToGpsText(field, isLatitude);
        if (dm != kConversionError) {
            const QString back =
                DegMinToGpsText(GpsTextToDegMin(dm.chopped(1), dm.right(1)), isLatitude);
            Require(back.chopped(1) == dm.chopped(1), "DM position changed on its way back", field);
        }
    }

    const DecimalText exact = LeadingDecimal(field);
    // The text as a list position (ddmm.mmm... with any number of decimals):
    // in range, the file form it is saved in must read back.
    const long long whole = WholePart(exact);
    if (!exact.IsNegative() && whole >= 0 && whole % 100 < 60) {
        for (const bool isLatitude : {true, false}) {
            if (whole / 100 >= (isLatitude ? 90 : 180))
                continue;
            const QString saved = GpsTextToDegMin(field, isLatitude ? u"S" : u"W");
            Require(IsGpsText(DegMinToGpsText(saved, isLatitude), isLatitude),
                    "list position saved in a form the reader refuses", field);
        }
    }

    // The exact reading and the floating-point one agree on ordinary numbers.
    const double approximate = LeadingNumber(field);
    if (exact.whole.size() < 300 && std::fabs(approximate) > 1e-300) {
        const std::string composed = std::string(exact.IsNegative() ? "-" : "") +
                                     (exact.whole.empty() ? "0" : exact.whole) + "." +
                                     exact.fraction + "0";
        const double value = std::strtod(composed.c_str(), nullptr);
        Require(std::fabs(value - approximate) <= 1e-9 * std::fabs(approximate),
                "exact and approximate numbers differ", field);
    }
    PadAltitude(field);
    MetresToFeet(field);
    FeetToMetres(field);
}

// Reads `bytes` into the list of `kind` line by line, as a load does.
void Read(ListKind kind, const QByteArray& bytes, Lists& lists, const ProgramState& state)
{
    PatientUser user;
    ReaderState reader;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    RecordReader records(kind, lists, state, reader, user);
    LineReader lines(buffer);
    QByteArray line;
    bool overlong = false;
    while (lines.Next(line, overlong)) {
        if (!overlong)
            records.ReadLine(lines.Utf8() ? QString::fromUtf8(line) : QString::fromLatin1(line));
    }
}

// The position columns of a row. A zero position south or west reads back
// as north or east.
QString Position(const ListModel& list, int row, int latitudeColumn)
{
    QString position;
    for (const int column : {latitudeColumn, latitudeColumn + 2}) {
        const QString digits = list.Text(row, column);
        QString hemisphere = list.Text(row, column + 1);
        if (digits.toDouble() == 0)
            hemisphere = column == latitudeColumn ? QStringLiteral("N") : QStringLiteral("E");
        position += digits + hemisphere;
    }
    return position;
}

void ReadWriteRead(ListKind kind, const QByteArray& bytes, HeightsMode mode)
{
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    state.heightsMode = mode;
    Lists lists;
    Read(kind, bytes, lists, state);

    const SaveStamp stamp{QStringLiteral("06/01/2024"), QStringLiteral("10:15:00")};
    const QByteArray written = FileText(kind, lists, stamp);
    if (kind == ListKind::Routes)
        return; // route points are written from the route table, not read back as rows

    const ListModel& list = lists.Of(kind);
    const int latitude =
        kind == ListKind::Track ? int(TrackColumn::Latitude) : int(WaypointColumn::Latitude);
    Lists again;
    Read(kind, written, again, state);
    const ListModel& back = again.Of(kind);
    Require(back.Count() == list.Count(), "saved rows do not read back",
            QString::fromLatin1(bytes));
    for (int row = 0; row < list.Count(); ++row)
        Require(Position(back, row, latitude) == Position(list, row, latitude),
                "saved position reads back changed", QString::fromLatin1(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    switch (choice % 4) {
    case 0:
        ReadWriteRead(ListKind::Waypoints, rest, HeightsMode(choice / 4 % 3));
        break;
    case 1:
        ReadWriteRead(ListKind::Routes, rest, HeightsMode::Keep);
        break;
    case 2:
        ReadWriteRead(ListKind::Track, rest, HeightsMode::Keep);
        break;
    default:
        CheckTextForms(QString::fromLatin1(rest));
        break;
    }
    return 0;
}
