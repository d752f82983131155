#include "files/FileReader.h"

#include "files/DecimalText.h"
#include "files/LineReader.h"
#include "files/PositionText.h"
#include "files/TextCase.h"
#include "model/TextNumber.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <optional>

namespace {

using Fields = QList<QStringView>;

std::optional<QStringView> Field(const Fields& fields, int i)
{
    if (i < fields.size())
        return fields[i];
    return std::nullopt;
}

bool IsOneOf(const QString& word, const char* keyword, const char* shortForm)
{
    return word == QLatin1String(keyword) || word == QLatin1String(shortForm);
}

// A whole number as a route number is read: the whole text (blanks around it
// allowed) must be a number, which is rounded with halves to even and must
// fit in 16 bits.
std::optional<int> WholeNumber(QStringView text)
{
    const QString trimmed = BlankTrimmed(text);
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    if (i < n && (trimmed[i] == u'+' || trimmed[i] == u'-'))
        ++i;
    bool digit = false, point = false;
    for (; i < n; ++i) {
        const QChar c = trimmed[i];
        if (c.isDigit() && c.unicode() < 128)
            digit = true;
        else if (c == u'.' && !point)
            point = true;
        else
            break;
    }
    if (digit && i < n && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (trimmed[j] == u'+' || trimmed[j] == u'-'))
            ++j;
        const qsizetype first = j;
        while (j < n && trimmed[j].unicode() >= '0' && trimmed[j].unicode() <= '9')
            ++j;
        if (j > first)
            i = j;
    }
    if (!digit || i != n)
        return std::nullopt;
    const double value = RoundHalfEven(LeadingNumber(trimmed));
    if (!(value >= -32768.0 && value <= 32767.0))
        return std::nullopt;
    return int(value);
}

const QString& HemisphereText(QChar letter)
{
    static const QString n = QStringLiteral("N"), s = QStringLiteral("S"), e = QStringLiteral("E"),
                         w = QStringLiteral("W");
    switch (letter.unicode()) {
    case 'S':
        return s;
    case 'E':
        return e;
    case 'W':
        return w;
    default:
        return n;
    }
}

QString NoRecordsText(ListKind kind)
{
    switch (kind) {
    case ListKind::Routes:
        return QStringLiteral(" does not contain any route information!");
    case ListKind::Track:
        return QStringLiteral(" does not contain any track information!");
    case ListKind::Waypoints:
        break;
    }
    return QStringLiteral(" does not contain any Waypoint information!");
}

bool FileHasLineStartingWith(QIODevice& file, const char* keyword, const char* shortForm)
{
    LineReader lines(file);
    QByteArray line;
    bool overlong = false;
    while (lines.Next(line, overlong)) {
        if (line.size() >= qsizetype(qstrlen(keyword)) &&
            qstrnicmp(line.constData(), keyword, qstrlen(keyword)) == 0)
            return true;
        if (line.size() >= qsizetype(qstrlen(shortForm)) &&
            qstrnicmp(line.constData(), shortForm, qstrlen(shortForm)) == 0)
            return true;
    }
    return false;
}

} // namespace

bool FileHasRecordsOf(ListKind kind, QIODevice& file)
{
    switch (kind) {
    case ListKind::Routes:
        return FileHasRoutes(file);
    case ListKind::Track:
        return FileHasTrack(file);
    case ListKind::Waypoints:
        break;
    }
    return FileHasWaypoints(file);
}

bool FileHasWaypoints(QIODevice& file)
{
    return FileHasLineStartingWith(file, "waypoint", "wp,");
}

bool FileHasRoutes(QIODevice& file)
{
    return FileHasLineStartingWith(file, "routename", "rn,");
}

bool FileHasTrack(QIODevice& file)
{
    return FileHasLineStartingWith(file, "trackpoint", "tp,");
}

RecordReader::RecordReader(ListKind kind, Lists& lists, const ProgramState& state,
                           ReaderState& reader, UserInteraction& ui)
    : kind_(kind), lists_(lists), state_(state), reader_(reader), ui_(ui)
{
}

RecordReader::~RecordReader()
{
    Flush();
}

void RecordReader::Flush()
{
    if (!pending_.empty())
        lists_.Of(kind_).AddRows(std::move(pending_));
    pending_.clear();
}

void RecordReader::Keep(QStringList& row)
{
    pending_.push_back(std::move(row));
}

const QString& RecordReader::Shared(QString& last, QStringView text)
{
    if (last != text)
        last = text.toString();
    return last;
}

void RecordReader::ReadLine(QStringView line)
{
    switch (kind_) {
    case ListKind::Waypoints:
        ReadWaypointRecord(line);
        break;
    case ListKind::Routes:
        ReadRouteRecord(line);
        break;
    case ListKind::Track:
        ReadTrackRecord(line);
        break;
    }
}

bool RecordReader::CheckFileDatum(QStringView code)
{
    if (Lowered(code) == Lowered(state_.currentDatumCode))
        return true;
    Flush();
    ui_.Message(QStringLiteral("WARNING: The datum in this file (") + code.toString() +
                    QStringLiteral(")") + QStringLiteral("\r") +
                    QStringLiteral("does not match the datum set in Navora (") +
                    state_.currentDatumCode + QStringLiteral(")"),
                MessageIcon::Exclamation, QStringLiteral("Navora - Datum"));
    return false;
}

bool RecordReader::ConvertPosition(const QList<QStringView>& fields, int latitudeField,
                                   QString& latitude, QString& longitude)
{
    const auto codeField = Field(fields, 1);
    if (!codeField)
        return false;
    const QString code = Uppered(*codeField);
    QString (*convert)(QStringView, bool) = code == u"D"     ? &DegreesToGpsText
                                            : code == u"DM"  ? &DegMinToGpsText
                                            : code == u"DMS" ? &DegMinSecToGpsText
                                                             : nullptr;
    if (!convert) {
        Flush();
        ui_.Message(QStringLiteral("Unsupported message format: ") + codeField->toString());
        latitude = kConversionError;
        return true;
    }
    if (fields.size() <= latitudeField + 1)
        return false;
    latitude = convert(fields[latitudeField], true);
    longitude = convert(fields[latitudeField + 1], false);
    return true;
}

void RecordReader::ReadWaypointRecord(QStringView line)
{
    const Fields f = line.split(u',');
    const QString keyword = Lowered(f[0]);
    if (keyword == u"datum") {
        if (const auto code = Field(f, 1))
            CheckFileDatum(*code);
        return;
    }
    if (!IsOneOf(keyword, "waypoint", "wp"))
        return;

    QString latitude, longitude;
    if (!ConvertPosition(f, 3, latitude, longitude))
        return;
    if (latitude == kConversionError || longitude == kConversionError) {
        reader_.recordValid = false;
        return;
    }

    QStringList row(WaypointColumn::Count);
    row[WaypointColumn::Name] = Uppered(BlankTrimmed(f[2]));
    row[WaypointColumn::Icon] = f.size() < 9 ? QStringLiteral("a") : Lowered(BlankTrimmed(f[8]));

    Altitude altitude;
    const bool feet = state_.heightsMode == HeightsMode::Feet;
    if (f.size() < 10) {
        altitude = {QStringLiteral("0000000"), feet ? QStringLiteral("F") : QStringLiteral("M")};
    } else {
        const QString text = Uppered(BlankTrimmed(f[9]));
        const QString unit = text.right(1);
        if (state_.heightsMode == HeightsMode::Feet && unit == u"M") {
            altitude = MetresToFeet(text);
        } else if (state_.heightsMode == HeightsMode::Metres && unit == u"F") {
            altitude = FeetToMetres(text);
        } else if (state_.heightsMode != HeightsMode::Keep && unit != u"M" && unit != u"F") {
            // No unit letter: the number is taken as being in the mode's unit.
            altitude = {PadAltitude(text.isEmpty() ? QStringLiteral("0") : text),
                        feet ? QStringLiteral("F") : QStringLiteral("M")};
        } else if (state_.heightsMode != HeightsMode::Keep) {
            altitude = {PadAltitude(QStringView(text).chopped(1)), unit};
        } else if (text.size() > 2 && text.front() == u'-') {
            altitude = {PadAltitude(QStringView(text).chopped(1)), unit};
        } else {
            const QString padded = (QStringLiteral("000000") + text).right(8);
            altitude = {padded.left(7), padded.right(1)};
        }
    }

    row[WaypointColumn::Latitude] = latitude.left(8);
    row[WaypointColumn::NS] = HemisphereText(latitude.back());
    row[WaypointColumn::Longitude] = longitude.left(9);
    row[WaypointColumn::WE] = HemisphereText(longitude.back());
    row[WaypointColumn::Altitude] = altitude.value.left(7);
    row[WaypointColumn::MF] = altitude.unit;

    if (f.size() < 8) {
        Keep(row); // no description: the row stays, uncounted
        return;
    }
    row[WaypointColumn::Description] = Uppered(BlankTrimmed(f[7])).left(20);
    ++reader_.recordsRead;
    Keep(row);
}

void RecordReader::ReadRouteRecord(QStringView line)
{
    const Fields f = line.split(u',');
    const QString keyword = Lowered(BlankTrimmed(f[0]));
    RouteStore& routes = lists_.routes;

    // A record the route store cannot hold (a route number outside 1 to 20, a
    // point beyond the 31st or without a name) is refused like any invalid
    // record, rather than shown as a row that would never be saved or sent.
    if (IsOneOf(keyword, "routename", "rn")) {
        const auto number = Field(f, 1);
        if (!number)
            return;
        const std::optional<int> route = WholeNumber(*number);
        // The points that follow belong to this record's route, even when it
        // is refused: they are refused with it rather than put in another.
        reader_.currentRouteNo = route.value_or(0);
        const std::optional<QString> name =
            f.size() == 3 ? std::optional<QString>(f[2].toString()) : std::nullopt;
        if (!route || !routes.StartRoute(*route, name)) {
            reader_.recordValid = false;
            return;
        }
        ++reader_.recordsRead;
        return;
    }

    if (IsOneOf(keyword, "routepoint", "rp")) {
        const auto name = Field(f, 2);
        if (!name || !routes.AddPoint(reader_.currentRouteNo,
                                      (name->toString() + QStringLiteral("      ")).left(6))) {
            reader_.recordValid = false;
            return;
        }
        ++reader_.recordsRead;
    }
}

void RecordReader::ReadTrackRecord(QStringView line)
{
    const Fields f = line.split(u',');
    if (Lowered(f[0]) == u"datum") {
        if (const auto code = Field(f, 1))
            CheckFileDatum(*code);
        return;
    }
    if (!IsOneOf(Lowered(BlankTrimmed(f[0])), "trackpoint", "tp"))
        return;

    QString latitude, longitude;
    if (!ConvertPosition(f, 2, latitude, longitude))
        return;
    if (latitude == kConversionError || longitude == kConversionError) {
        reader_.recordValid = false;
        return;
    }

    QStringList row(TrackColumn::Count);
    row[TrackColumn::Point] = ZeroPad(reader_.recordsRead + 1, 4);
    if (f.size() == 10)
        row[TrackColumn::TrackName] = Shared(lastTrackName_, f[9].left(6));
    row[TrackColumn::Latitude] = latitude.chopped(1);
    row[TrackColumn::NS] = HemisphereText(latitude.back());
    row[TrackColumn::Longitude] = longitude.chopped(1);
    row[TrackColumn::WE] = HemisphereText(longitude.back());
    if (f.size() < 8) {
        Keep(row);
        return;
    }
    // Track heights are taken as they stand, never converted.
    const QStringView altitude = f[7];
    row[TrackColumn::Altitude] = altitude.isEmpty() ? QString() : altitude.chopped(1).toString();
    row[TrackColumn::MF] = Shared(lastUnit_, altitude.right(1));
    row[TrackColumn::Time] = Shared(lastTime_, f[5]);
    if (f.size() < 9) {
        Keep(row);
        return;
    }
    row[TrackColumn::Valid] = Shared(lastValid_, f[8]);
    ++reader_.recordsRead;
    Keep(row);
}

namespace {

// The second pass of a load over the device, open at its start: the list of
// `kind` replaced by the records read, each invalid one asked about.
FileOutcome ReadListRecords(ListKind kind, QIODevice& file, const QString& shownPath, Lists& lists,
                            const ProgramState& state, ReaderState& reader, UserInteraction& ui)
{
    if (kind == ListKind::Routes)
        lists.routes.Clear();
    else
        lists.Of(kind).Clear();

    RecordReader records(kind, lists, state, reader, ui);
    LineReader lines(file);
    QByteArray bytes;
    bool overlong = false;
    bool cancelled = false;
    qint64 lineNumber = 0;
    while (lines.Next(bytes, overlong)) {
        reader.recordValid = true;
        ++lineNumber;
        // A line too long to be a record is refused whole rather than read in part.
        if (overlong)
            reader.recordValid = false;
        else if (lines.Utf8()) // a file that says so in its first bytes
            records.ReadLine(QString::fromUtf8(bytes));
        else
            records.ReadLine(QString::fromLatin1(bytes));
        if (!reader.recordValid) {
            records.Flush();
            if (ui.Question(QStringLiteral("Invalid format record at line: ") +
                                QString::number(lineNumber),
                            Buttons::OkCancel) == Answer::Cancel) {
                cancelled = true;
                break;
            }
        }
    }
    records.Flush();
    ui.SetStatusText(StatusPanel::Settings,
                     QString::number(reader.recordsRead) + QStringLiteral(" Records read"));
    if (lines.ReadFailed()) {
        const QString message = shownPath + QStringLiteral("\r\n") +
                                QStringLiteral(" could not be read to its end: ") +
                                file.errorString();
        ui.Message(message, MessageIcon::Exclamation);
        return {FileStatus::Failed, reader.recordsRead, message};
    }
    return {cancelled ? FileStatus::Cancelled : FileStatus::Read, reader.recordsRead, {}};
}

FileOutcome NoRecords(ListKind kind, const QString& shownPath, FileStatus status,
                      UserInteraction& ui)
{
    const QString message = shownPath + QStringLiteral("\r\n") + NoRecordsText(kind);
    ui.Message(message);
    return {status, 0, message};
}

} // namespace

FileOutcome LoadListFile(ListKind kind, const QString& path, Lists& lists,
                         const ProgramState& state, ReaderState& reader, UserInteraction& ui)
{
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    reader.recordsRead = 0;

    QFile file(path);
    // A file that is missing or may not be read says why, rather than that
    // it holds nothing of the kind.
    if (!file.open(QIODevice::ReadOnly)) {
        const QString message = shownPath + QStringLiteral("\r\n") +
                                QStringLiteral(" could not be read: ") + file.errorString();
        ui.Message(message, MessageIcon::Exclamation);
        return {FileStatus::Failed, 0, message};
    }
    bool found = FileHasRecordsOf(kind, file);
    file.close();
    // Read again from the start; a file that vanished in between counts as
    // one without records, and the list keeps its rows.
    found = found && file.open(QIODevice::ReadOnly);
    if (!found)
        return NoRecords(kind, shownPath, FileStatus::NotThatKind, ui);
    return ReadListRecords(kind, file, shownPath, lists, state, reader, ui);
}

FileOutcome LoadListText(ListKind kind, const QByteArray& text, const QString& name, Lists& lists,
                         const ProgramState& state, ReaderState& reader, UserInteraction& ui)
{
    reader.recordsRead = 0;
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    if (!FileHasRecordsOf(kind, buffer))
        return NoRecords(kind, name, FileStatus::NotThatKind, ui);
    buffer.seek(0);
    return ReadListRecords(kind, buffer, name, lists, state, reader, ui);
}
