#include "app/TextNumber.h"
#include "files/PositionText.h"

#include <QLocale>
#include <QtTest>

class tst_PositionText : public QObject
{
    Q_OBJECT
private slots:
    void toGpsText_data();
    void toGpsText();
    void toDegMin_data();
    void toDegMin();
    void listValuesSurviveTheFileForm();
    void altitude_data();
    void altitude();
    void regionalSettingsDoNotMatter();
};

void tst_PositionText::toGpsText_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isLatitude");
    QTest::addColumn<QString>("expected");
    auto Row = [](const char* form, const char* name) -> QTestData& {
        return QTest::addRow("%s: %s", form, name) << QString::fromLatin1(form);
    };
    Row("D", "half degree") << "51.5" << true << "5130.000N";
    Row("D", "west") << "-0.20575" << false << "00012.345W";
    Row("D", "zero longitude is west") << "0" << false << "00000.000W";
    Row("D", "negative zero latitude is north") << "-0" << true << "0000.000N";
    Row("D", "south pole") << "-90" << true << "9000.000S";
    Row("D", "beyond the pole") << "90.0001" << true << "Err";
    Row("D", "date line") << "180" << false << "18000.000E";
    Row("D", "beyond the date line") << "-180.0000001" << false << "Err";
    Row("D", "minutes round up into the degree") << "51.99999999" << true << "5200.000N";
    Row("D", "half thousandth to even, down") << "10.000025" << true << "1000.002N";
    Row("D", "half thousandth to even, up") << "10.000075" << true << "1000.004N";
    Row("D", "blanks and exponent") << "  5.15e1" << true << "5130.000N";
    Row("D", "no number") << "north" << true << "0000.000N";
    Row("D", "huge") << "1e300" << false << "Err";
    Row("DM", "file latitude") << " 51.30500" << true << "5130.500N";
    Row("DM", "file longitude") << "-000.12345" << false << "00012.345W";
    Row("DM", "zero longitude is east") << "0" << false << "00000.000E";
    Row("DM", "negative zero is north") << "-00.00000" << true << "0000.000N";
    Row("DM", "south") << "-12.3" << true << "1230.000S";
    Row("DM", "60 minutes") << "51.6" << true << "Err";
    Row("DM", "75 minutes") << "51.75" << true << "Err";
    Row("DM", "60 minutes, inexact in binary") << "10.6" << true << "Err";
    Row("DM", "pole") << "90" << true << "9000.000N";
    Row("DM", "beyond the pole") << "90.1" << true << "Err";
    Row("DM", "date line") << "180" << false << "18000.000E";
    Row("DM", "beyond the date line") << "-180.00001" << false << "Err";
    Row("DM", "half rounds away from zero") << "51.305005" << true << "5130.501N";
    Row("DM", "minutes round up into the degree") << "51.5999996" << true << "5200.000N";
    Row("DMS", "30 seconds") << "51.3030" << true << "5130.500N";
    Row("DMS", "zero seconds read as text") << "51.30" << true << "5130.000N";
    Row("DMS", "one minute digit") << "51.3" << true << "5130.000N";
    Row("DMS", "seconds with decimals") << "51.303012" << true << "5130.502N";
    Row("DMS", "60 seconds carry into the degree") << "51.5960" << true << "5200.000N";
    Row("DMS", "above 60 minutes") << "51.6001" << true << "Err";
    Row("DMS", "whole degrees tested only") << "90.3015" << true << "9030.250N";
    Row("DMS", "beyond the pole") << "91.00" << true << "Err";
    Row("DMS", "beyond the date line") << "181" << false << "Err";
    Row("DMS", "west") << "-0.2030" << false << "00020.500W";
    Row("DMS", "zero longitude is west") << "0" << false << "00000.000W";
    Row("DMS", "half thousandth to even, down") << "10.000003" << true << "1000.000N";
    Row("DMS", "half thousandth to even, up") << "10.000009" << true << "1000.002N";
}

void tst_PositionText::toGpsText()
{
    QFETCH(QString, form);
    QFETCH(QString, text);
    QFETCH(bool, isLatitude);
    QFETCH(QString, expected);
    const auto convert = form == u"D"    ? &DegreesToGpsText
                         : form == u"DM" ? &DegMinToGpsText
                                         : &DegMinSecToGpsText;
    QCOMPARE(convert(text, isLatitude), expected);
    // Text after the number is not read, and takes the general way through.
    QCOMPARE(convert(text + "x", isLatitude), expected);
}

void tst_PositionText::toDegMin_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("hemisphere");
    QTest::addColumn<QString>("expected");
    QTest::newRow("north") << "5130.500"
                           << "N"
                           << " 51.30500";
    QTest::newRow("west") << "00012.345"
                          << "W"
                          << "-000.12345";
    QTest::newRow("south zero") << "0000.000"
                                << "S"
                                << "-00.00000";
    QTest::newRow("east") << "18000.000"
                          << "E"
                          << " 180.00000";
    QTest::newRow("lower-case letter") << "5130.500"
                                       << "n"
                                       << " 51.30500";
    QTest::newRow("unknown letter") << "0512.500"
                                    << "X"
                                    << "5.12500";
    QTest::newRow("no letter, no number") << ""
                                          << ""
                                          << "0.00000";
    QTest::newRow("fourth decimal carries") << "5158.9996"
                                            << "N"
                                            << " 51.59000";
    QTest::newRow("long degrees") << "123456789.5"
                                  << "E"
                                  << " 1234567.89500";
}

void tst_PositionText::toDegMin()
{
    QFETCH(QString, digits);
    QFETCH(QString, hemisphere);
    QFETCH(QString, expected);
    QCOMPARE(GpsTextToDegMin(digits, hemisphere), expected);
    QCOMPARE(GpsTextToDegMin(digits + "x", hemisphere), expected);
}

void tst_PositionText::listValuesSurviveTheFileForm()
{
    // Every list value with minutes below 60 comes back unchanged, except
    // that zero in the south or west comes back north or east.
    int checked = 0;
    for (int degrees = 0; degrees <= 180; degrees += 7) {
        for (int thousandths : {0, 1, 499, 500, 12345, 30000, 59999}) {
            for (const bool isLatitude : {true, false}) {
                if (isLatitude && degrees > 89)
                    continue;
                const QString digits = ZeroPad(degrees, isLatitude ? 2 : 3) +
                                       ZeroPad(thousandths / 1000, 2) + u'.' +
                                       ZeroPad(thousandths % 1000, 3);
                for (const QString& h :
                     isLatitude ? QStringList{"N", "S"} : QStringList{"E", "W"}) {
                    const bool zero = degrees == 0 && thousandths == 0;
                    const QString back = DegMinToGpsText(GpsTextToDegMin(digits, h), isLatitude);
                    const QString expected =
                        digits +
                        (zero ? (isLatitude ? QStringLiteral("N") : QStringLiteral("E")) : h);
                    QCOMPARE(back, expected);
                    ++checked;
                }
            }
        }
    }
    QVERIFY(checked > 300);
}

void tst_PositionText::altitude_data()
{
    QTest::addColumn<QString>("converted");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pad text") << PadAltitude(u"12") << "0000012";
    QTest::newRow("pad long number") << PadAltitude(12345678.0) << "2345678";
    QTest::newRow("pad negative number") << PadAltitude(-12.0) << "-000012";
    QTest::newRow("pad negative zero") << PadAltitude(-0.0) << "0000000";
    QTest::newRow("100 m in feet") << MetresToFeet(u"100").value << "0000328";
    QTest::newRow("feet unit") << MetresToFeet(u"100").unit << "F";
    QTest::newRow("1000 ft in metres") << FeetToMetres(u"1000").value << "0000305";
    QTest::newRow("metres unit") << FeetToMetres(u"1000").unit << "M";
    QTest::newRow("unit letter ignored") << MetresToFeet(u"0000123M").value << "0000404";
    QTest::newRow("below sea level") << MetresToFeet(u"-10").value << "-000033";
    QTest::newRow("huge stays seven characters")
        << QString::number(MetresToFeet(u"1e300").value.size()) << "7";
}

void tst_PositionText::altitude()
{
    QFETCH(QString, converted);
    QFETCH(QString, expected);
    QCOMPARE(converted, expected);
}

void tst_PositionText::regionalSettingsDoNotMatter()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString degrees = DegreesToGpsText(u"51,5", true); // a comma is not a decimal point
    const QString degMin = DegMinToGpsText(u"51.30500", true);
    const QString feet = MetresToFeet(u"12.5").value;
    QLocale::setDefault(before);
    QCOMPARE(degrees, QStringLiteral("5100.000N"));
    QCOMPARE(degMin, QStringLiteral("5130.500N"));
    QCOMPARE(feet, QStringLiteral("0000041"));
}

QTEST_APPLESS_MAIN(tst_PositionText)
#include "tst_PositionText.moc"
