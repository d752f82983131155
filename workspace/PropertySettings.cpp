#include "workspace/PropertySettings.h"

#include "files/PositionText.h"
#include "gpslink/QtSerialStream.h"
#include "model/TextNumber.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>

namespace {

constexpr int kComPorts = 16;

QString EntryOf(const SerialDevice& device)
{
    if (device.description.isEmpty())
        return device.path;
    return device.path + QStringLiteral(" (") + device.description + u')';
}

// "Com3" and "3" name the third numbered port; nothing when the text names none.
std::optional<int> ComNumber(const QString& text)
{
    static const QRegularExpression com(QStringLiteral("^(?:com)?(\\d{1,2})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int number = match.captured(1).toInt();
    if (number < 1 || number > kComPorts)
        return std::nullopt;
    return number;
}

} // namespace

QStringList PortSpeeds()
{
    return {QStringLiteral("1200"), QStringLiteral("4800"), QStringLiteral("9600"),
            QStringLiteral("19200")};
}

QStringList DatumEntries()
{
    // The receiver's own names, misspellings included.
    return {
        QStringLiteral("WGS84 World Geodetic System"),
        QStringLiteral("NAD27 North America 1927"),
        QStringLiteral("NAD83 North America 1983"),
        QStringLiteral("GRB36 Ordnance Survey of GB, 1936"),
        QStringLiteral("ADIND Adinda"),
        QStringLiteral("ALASK Alaska"),
        QStringLiteral("ARC50 Arc 1950"),
        QStringLiteral("ARC60 Arc 1960"),
        QStringLiteral("ASTRO Camp Area Astro"),
        QStringLiteral("AUS66 Australian Geodetic 1966"),
        QStringLiteral("AUS84 Australian Geodetic 1984"),
        QStringLiteral("BOGOT Bogota Observatory"),
        QStringLiteral("BUKIT Bukit Rimpah"),
        QStringLiteral("CAMPO Campo Inchauspe"),
        QStringLiteral("CANAD Canada"),
        QStringLiteral("CAPE  Cape"),
        QStringLiteral("CARTH Carthage"),
        QStringLiteral("CENAM Central America"),
        QStringLiteral("CHATH Chatham 1971"),
        QStringLiteral("CHUAA Chau Astro"),
        QStringLiteral("CORRE Corrego Alegre"),
        QStringLiteral("CYPRU Cyprus"),
        QStringLiteral("DJAKA Djakarta (Batavia)"),
        QStringLiteral("EGYPT Egypt"),
        QStringLiteral("EUROP European 1950 (All of Europe)"),
        QStringLiteral("EUR50 European 1950 (W. Europe)"),
        QStringLiteral("EUR79 European 1979"),
        QStringLiteral("GANDA Gandajika Base"),
        QStringLiteral("GEO49 Geodetic Datum 1949"),
        QStringLiteral("GHANA Ghana"),
        QStringLiteral("GUAM  Guam"),
        QStringLiteral("GUNSG G. Segara"),
        QStringLiteral("GUNSR Gunsr"),
        QStringLiteral("HAWAI Hawaii"),
        QStringLiteral("HERAT Herat North"),
        QStringLiteral("HJORS Hjorsey 1955"),
        QStringLiteral("HUTZU Hu-tzu-shan"),
        QStringLiteral("INDIA Indian (India, Nepal)"),
        QStringLiteral("IRAN  Iran"),
        QStringLiteral("IRELA Ireland 1965"),
        QStringLiteral("KAUAI Kauai"),
        QStringLiteral("KERTA Kertau 1948"),
        QStringLiteral("KKJ   KKJ (Finland)"),
        QStringLiteral("LIBER Liberia 1964"),
        QStringLiteral("LUZON Luzon"),
        QStringLiteral("MASSA Massawa"),
        QStringLiteral("MAUI  Maui"),
        QStringLiteral("MERCH Merchich"),
        QStringLiteral("MINNA Minna"),
        QStringLiteral("MONTJ MONTJ"),
        QStringLiteral("NAHRW Nahrwan, Saudi Arabia"),
        QStringLiteral("OAHU  Oahu"),
        QStringLiteral("OEGYP Old Egyption"),
        QStringLiteral("OHAWA Old Hawaiian"),
        QStringLiteral("OMAN  Oman"),
        QStringLiteral("PITCA Pitcairn Astro 1967"),
        QStringLiteral("QATAR Qatar National"),
        QStringLiteral("QORNO Qornoq"),
        QStringLiteral("RT90  RT90 (Sweden)"),
        QStringLiteral("SAM56 Provisional So. Am. 1956"),
        QStringLiteral("SAM69 South American 1969"),
        QStringLiteral("SCHWA Schwarzeck"),
        QStringLiteral("SICIL Sicily"),
        QStringLiteral("SIERR SIERR"),
        QStringLiteral("SWISS Swiss"),
        QStringLiteral("TANAN Tananarive Observatory 1925"),
        QStringLiteral("THAI  Indian (Thailand, Vietnam)"),
        QStringLiteral("TIMBA Timbalai"),
        QStringLiteral("TOKYO Tokyo"),
        QStringLiteral("VOIRO VOIRO"),
        QStringLiteral("WGS72 World Geodetic System 1972"),
        QStringLiteral("YACAR Yacare"),
        QStringLiteral("ZANDE Zanderij"),
    };
}

QStringList GridNames()
{
    return {QStringLiteral("OSGB"), QStringLiteral("OSNI"), QStringLiteral("OSRoI"),
            QStringLiteral("UTM")};
}

std::vector<SerialDevice> PresentSerialDevices(bool withComPorts)
{
    QStringList numbered;
    for (int n = 1; n <= kComPorts && !withComPorts; ++n)
        numbered << DeviceForPort(QString::number(n)).value_or(QString());
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (!numbered.contains(info.systemLocation()))
            devices.push_back({info.systemLocation(), info.description()});
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return devices;
}

QStringList PortEntries(const std::vector<SerialDevice>& devices)
{
    QStringList entries;
    for (int n = 1; n <= kComPorts; ++n)
        entries << QStringLiteral("Com") + QString::number(n);
    for (const SerialDevice& device : devices)
        entries << EntryOf(device);
    return entries;
}

QString PortEntryText(const QString& port, const std::vector<SerialDevice>& devices)
{
    if (const std::optional<int> number = ComNumber(port))
        return QStringLiteral("Com") + QString::number(*number);
    const QString path = port.trimmed();
    for (const SerialDevice& device : devices) {
        if (device.path == path)
            return EntryOf(device);
    }
    return path;
}

QString PortSetting(const QString& entry)
{
    const QString text = entry.trimmed();
    if (const std::optional<int> number = ComNumber(text))
        return QString::number(*number);
    // A device's entry: its path, then its description in brackets.
    static const QRegularExpression described(QStringLiteral("^(/\\S+) \\(.*\\)$"));
    const QRegularExpressionMatch match = described.match(text);
    return match.hasMatch() ? match.captured(1) : text;
}

PropertyChoices LoadPropertySettings(const CurrentProperties& current,
                                     const std::vector<SerialDevice>& devices)
{
    PropertyChoices choices;
    choices.port = PortEntryText(current.port, devices);
    choices.speed = current.portSettings.section(u',', 0, 0);
    choices.gridLines = current.gridLines;
    choices.datum = current.storedDatum;
    choices.heights = current.heights;
    choices.grid = int(GridNames().indexOf(current.grid));
    if (choices.grid >= 0)
        choices.sheetEnabled = choices.grid == 0;
    choices.sheet = int(LeadingNumber(current.storedSheet)) != 0;
    return choices;
}

std::optional<QString> DatumCodeOf(const QString& entry)
{
    const qsizetype blank = entry.indexOf(u' ');
    if (blank < 0)
        return std::nullopt;
    return entry.left(blank);
}

void ConvertWaypointHeights(ListModel& waypoints, HeightsMode mode)
{
    // These factors, a little off the exact ones, are what users' lists were
    // converted with: 100 m become 328 ft and come back as 100 m.
    QString from;
    QString to;
    double factor = 1;
    if (mode == HeightsMode::Feet) {
        from = QStringLiteral("M");
        to = QStringLiteral("F");
        factor = 3.282;
    } else if (mode == HeightsMode::Metres) {
        from = QStringLiteral("F");
        to = QStringLiteral("M");
        factor = 0.3047;
    } else {
        return;
    }
    for (int row = 0; row < waypoints.Count(); ++row) {
        if (waypoints.Text(row, WaypointColumn::MF) != from)
            continue;
        const double height = LeadingNumber(waypoints.Text(row, WaypointColumn::Altitude));
        waypoints.SetText(row, WaypointColumn::Altitude,
                          PadAltitude(RoundHalfEven(height * factor)));
        waypoints.SetText(row, WaypointColumn::MF, to);
    }
}
