#include "files/FileReader.h"
#include "files/GpxFile.h"
#include "files/PositionText.h"
#include "tests/interop/Programs.h"
#include "tests/support/ScriptedInteraction.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// Navora's GPX seen by programs written by others, run as black boxes: gpsbabel reads what
// Navora writes and writes what Navora reads; xmllint checks that what Navora writes is XML.

class tst_GpxInterop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void gpsbabelReadsOurExport();
    void weReadGpsbabelsGpx();
    void exportIsWellFormed();

private:
    // Writes the example files' lists to a GPX file.
    QString ExportExamples();

    QTemporaryDir dir_;
    // The worked example files of the text format, read into one set of lists.
    Lists lists_;
};

namespace {

QString Position(const ListModel& list, int row, int latitudeColumn)
{
    return list.Text(row, latitudeColumn) + list.Text(row, latitudeColumn + 1) + u' ' +
           list.Text(row, latitudeColumn + 2) + list.Text(row, latitudeColumn + 3);
}

QString Metres(const ListModel& list, int row, int altitudeColumn)
{
    return QString::number(
        GpxCell::Elevation(list.Text(row, altitudeColumn), list.Text(row, altitudeColumn + 1))
            .value_or("0")
            .toDouble(),
        'f', 3);
}

// "kind|name|position|elevation" for every point of a GPX file.
QStringList Points(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot open ") + path};
    QXmlStreamReader xml(&file);
    QStringList points;
    QString kind, position, name, elevation;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString element = xml.name().toString();
        if (xml.isStartElement() && xml.attributes().hasAttribute(QStringLiteral("lat"))) {
            kind = element;
            position = DecimalDegreesToGpsText(xml.attributes().value(QLatin1String("lat")), true) +
                       u' ' +
                       DecimalDegreesToGpsText(xml.attributes().value(QLatin1String("lon")), false);
            name.clear();
            elevation = QStringLiteral("none");
        } else if (xml.isStartElement() && !kind.isEmpty() && element == u"name") {
            name = xml.readElementText();
        } else if (xml.isStartElement() && !kind.isEmpty() && element == u"ele") {
            elevation = QString::number(xml.readElementText().toDouble(), 'f', 3);
        } else if (xml.isEndElement() && element == kind) {
            points << kind + u'|' + name + u'|' + position + u'|' + elevation;
            kind.clear();
        }
    }
    if (xml.hasError())
        points << QStringLiteral("unreadable: ") + xml.errorString();
    return points;
}

} // namespace

void tst_GpxInterop::initTestCase()
{
    QVERIFY(dir_.isValid());
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    ReaderState reader;
    ScriptedInteraction ui;
    for (const auto& [kind, name] : {std::pair{ListKind::Waypoints, "waypoints"},
                                     {ListKind::Routes, "routes"},
                                     {ListKind::Track, "track"}})
        QCOMPARE(LoadListFile(kind, QStringLiteral(NAVORA_TEST_DATA "/files/%1.txt").arg(name),
                              lists_, state, reader, ui)
                     .status,
                 FileStatus::Read);
}

QString tst_GpxInterop::ExportExamples()
{
    const QString path = dir_.filePath(QStringLiteral("examples.gpx"));
    ScriptedInteraction ui;
    ui.agreeable = true;
    return SaveGpxFile(path, lists_, ui).status == FileStatus::Written ? path : QString();
}

// gpsbabel reads every point of our file at its position, with its name and height; the
// route point without a waypoint (XYZ) is not there.
void tst_GpxInterop::gpsbabelReadsOurExport()
{
    REQUIRE_PROGRAM("gpsbabel", "gpsbabel");
    const QString ours = ExportExamples();
    const QString theirs = dir_.filePath(QStringLiteral("gpsbabel.gpx"));
    const QString failure =
        RunProgram(QStringLiteral("gpsbabel"),
                   {"-w", "-r", "-t", "-i", "gpx", "-f", ours, "-o", "gpx", "-F", theirs});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QStringList expected;
    using namespace WaypointColumn;
    const ListModel& waypoints = lists_.waypoints;
    for (int row = 0; row < waypoints.Count(); ++row)
        expected << "wpt|" + waypoints.Text(row, Name) + u'|' + Position(waypoints, row, Latitude) +
                        u'|' + Metres(waypoints, row, WaypointColumn::Altitude);
    for (const int row : {0, 1}) // route 1: HOME, CHURCH
        expected << "rtept|" + waypoints.Text(row, Name) + u'|' +
                        Position(waypoints, row, Latitude) + u'|' +
                        Metres(waypoints, row, WaypointColumn::Altitude);
    const ListModel& track = lists_.track;
    for (int row = 0; row < track.Count(); ++row)
        expected << "trkpt||" + Position(track, row, TrackColumn::Latitude) + u'|' +
                        Metres(track, row, TrackColumn::Altitude);
    QCOMPARE(Points(theirs), expected);
}

// The example files' positions and names as a CSV file, made GPX by gpsbabel, read by Navora.
void tst_GpxInterop::weReadGpsbabelsGpx()
{
    REQUIRE_PROGRAM("gpsbabel", "gpsbabel");
    QStringList csv{QStringLiteral("Latitude,Longitude,Name")};
    QStringList expected;
    const auto add = [&](const QString& name, const ListModel& list, int row, int column) {
        csv << *GpsTextToDecimalDegrees(list.Text(row, column), list.Text(row, column + 1), true) +
                   u',' +
                   *GpsTextToDecimalDegrees(list.Text(row, column + 2), list.Text(row, column + 3),
                                            false) +
                   u',' + name;
        expected << name + u' ' + Position(list, row, column);
    };
    for (int row = 0; row < lists_.waypoints.Count(); ++row)
        add(lists_.waypoints.Text(row, WaypointColumn::Name), lists_.waypoints, row,
            WaypointColumn::Latitude);
    for (int row = 0; row < lists_.track.Count(); ++row)
        add("TP" + lists_.track.Text(row, TrackColumn::Point), lists_.track, row,
            TrackColumn::Latitude);
    const QString csvPath = dir_.filePath(QStringLiteral("examples.csv"));
    QFile file(csvPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((csv.join(u'\n') + u'\n').toLatin1());
    file.close();
    const QString gpx = dir_.filePath(QStringLiteral("fromcsv.gpx"));
    const QString failure = RunProgram(QStringLiteral("gpsbabel"),
                                       {"-i", "unicsv", "-f", csvPath, "-o", "gpx", "-F", gpx});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    Lists lists;
    ScriptedInteraction ui;
    ui.agreeable = true;
    QCOMPARE(LoadGpxFile(gpx, lists, ProgramState(), ui).status, FileStatus::Read);
    QStringList read;
    for (int row = 0; row < lists.waypoints.Count(); ++row)
        read << lists.waypoints.Text(row, WaypointColumn::Name) + u' ' +
                    Position(lists.waypoints, row, WaypointColumn::Latitude);
    QCOMPARE(read, expected);
}

void tst_GpxInterop::exportIsWellFormed()
{
    REQUIRE_PROGRAM("xmllint", "libxml2-utils");
    const QString ours = ExportExamples();
    const QString failure = RunProgram(QStringLiteral("xmllint"), {"--noout", ours});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_GUILESS_MAIN(tst_GpxInterop)
#include "tst_GpxInterop.moc"
