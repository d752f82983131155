#include "files/PositionText.h"

#include <QLocale>
#include <QtTest>

class tst_PositionText : public QObject
{
    Q_OBJECT
private slots:
    void conversions_data();
    void conversions();
};

// Each result must be `expected`; text after a number is not read (and takes the general way).
void tst_PositionText::conversions_data()
{
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QString>("expected");
    using Convert = QString (*)(QStringView, bool);
    auto Row = [](const char* name, Convert convert, const char* text, bool isLatitude,
                  const char* expected) {
        const QString t = QString::fromLatin1(text);
        QTest::newRow(name) << QStringList{convert(t, isLatitude), convert(t + "x", isLatitude)}
                            << QString::fromLatin1(expected);
    };
    auto Is = [](const char* name, const QString& result, const char* expected) {
        QTest::newRow(name) << QStringList{result} << QString::fromLatin1(expected);
    };
    const Convert D = &DegreesToGpsText, DM = &DegMinToGpsText, DMS = &DegMinSecToGpsText;
    Row("D: zero longitude is west", D, "0", false, "00000.000W");
    Row("D: negative zero latitude is north", D, "-0", true, "0000.000N");
    Row("D: south pole", D, "-90", true, "9000.000S");
    Row("D: beyond the pole", D, "90.0001", true, "Err");
    Row("D: beyond the date line", D, "-180.0000001", false, "Err");
    Row("D: minutes round up into the degree", D, "51.99999999", true, "5200.000N");
    Row("D: half thousandth to even, down", D, "10.000025", true, "1000.002N");
    Row("D: half thousandth to even, up", D, "10.000075", true, "1000.004N");
    Row("D: blanks and exponent", D, "  5.15e1", true, "5130.000N");
    Row("D: no number", D, "north", true, "0000.000N");
    Row("DM: zero longitude is east", DM, "0", false, "00000.000E");
    Row("DM: 60 minutes", DM, "51.6", true, "Err");
    Row("DM: 60 minutes, inexact in binary", DM, "10.6", true, "Err");
    Row("DM: beyond the date line", DM, "-180.00001", false, "Err");
    Row("DM: half rounds away from zero", DM, "51.305005", true, "5130.501N");
    Row("DM: minutes round up into the degree", DM, "51.5999996", true, "5200.000N");
    Row("DMS: zero seconds read as text", DMS, "51.30", true, "5130.000N");
    Row("DMS: seconds with decimals", DMS, "51.303012", true, "5130.502N");
    Row("DMS: 60 seconds carry into the degree", DMS, "51.5960", true, "5200.000N");
    Row("DMS: above 60 minutes", DMS, "51.6001", true, "Err");
    Row("DMS: beyond the pole by its minutes", DMS, "90.3015", true, "Err");
    Row("DMS: the pole", DMS, "90.00", true, "9000.000N");
    Row("DMS: beyond the date line by its seconds", DMS, "-180.0001", false, "Err");
    Row("DMS: west", DMS, "-0.2030", false, "00020.500W");
    Row("DMS: zero longitude is west", DMS, "0", false, "00000.000W");
    Row("DMS: half thousandth to even, down", DMS, "10.000003", true, "1000.000N");
    Row("DMS: half thousandth to even, up", DMS, "10.000009", true, "1000.002N");
    Is("to DM: north", GpsTextToDegMin(u"5130.500", u"N"), " 51.30500");
    Is("to DM: west", GpsTextToDegMin(u"00012.345", u"W"), "-000.12345");
    Is("to DM: south zero", GpsTextToDegMin(u"0000.000", u"S"), "-00.00000");
    Is("to DM: lower-case letter", GpsTextToDegMin(u"5130.500x", u"n"), " 51.30500");
    Is("to DM: unknown letter", GpsTextToDegMin(u"0512.500", u"X"), "5.12500");
    Is("to DM: no letter, no number", GpsTextToDegMin(u"", u""), "0.00000");
    Is("to DM: fourth decimal carries", GpsTextToDegMin(u"5158.9996", u"N"), " 51.59000");
    Is("to DM: half to even", GpsTextToDegMin(u"5130.2505", u"N"), " 51.30250");
    Is("to DM: 60 minutes carry", GpsTextToDegMin(u"09959.9995", u"E"), " 100.00000");
    Is("to DM: long degrees", GpsTextToDegMin(u"123456789.5x", u"E"), " 1234567.89500");
    // GPX positions in decimal degrees, both ways.
    const auto ToDegrees = [](QStringView digits, QStringView hemisphere, bool isLatitude) {
        return GpsTextToDecimalDegrees(digits, hemisphere, isLatitude).value_or("none");
    };
    const auto FromDegrees = &DecimalDegreesToGpsText;
    Is("to degrees: north", ToDegrees(u"5130.500", u"N", true), "51.508333333");
    Is("to degrees: west, exact", ToDegrees(u"00012.000", u"W", false), "-0.2");
    Is("to degrees: zero south", ToDegrees(u"0000.000", u"S", true), "0");
    Is("to degrees: more decimals", ToDegrees(u"5959.9996", u"N", true), "60");
    Is("to degrees: beyond the pole", ToDegrees(u"9000.001", u"N", true), "none");
    Is("to degrees: 60 minutes", ToDegrees(u"5160.000", u"N", true), "none");
    Is("to degrees: other axis", ToDegrees(u"5130.000", u"E", true), "none");
    Is("to degrees: date line", ToDegrees(u"18000.000", u"W", false), "-180");
    Is("from degrees: zero longitude is east", FromDegrees(u"-0.0000001", false), "00000.000E");
    Is("from degrees: south", FromDegrees(u" -33.857083 ", true), "3351.425S");
    Is("from degrees: rounds into the degree", FromDegrees(u"89.9999999", true), "9000.000N");
    Is("from degrees: beyond the pole", FromDegrees(u"90.0000001", true), "Err");
    Is("from degrees: text after the number", FromDegrees(u"51.5x", true), "Err");
    Is("from degrees: empty", FromDegrees(u"", true), "Err");
    Is("from degrees: exponent", FromDegrees(u"5.15e1", true), "Err");
    Is("pad text", PadAltitude(u"12"), "0000012");
    Is("pad long number", PadAltitude(12345678.0), "2345678");
    Is("pad negative number", PadAltitude(-12.0), "-000012");
    Is("pad negative zero", PadAltitude(-0.0), "0000000");
    Is("100 m in feet", MetresToFeet(u"100").value + MetresToFeet(u"100").unit, "0000328F");
    Is("1000 ft in metres", FeetToMetres(u"1000").value + FeetToMetres(u"1000").unit, "0000305M");
    Is("unit letter ignored", MetresToFeet(u"0000123M").value, "0000404");
    Is("below sea level", MetresToFeet(u"-10").value, "-000033");
    Is("huge stays seven characters", QString::number(MetresToFeet(u"1e300").value.size()), "7");
    const QLocale before; // regional settings do not matter
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Is("German: a comma is no decimal point", DegreesToGpsText(u"51,5", true), "5100.000N");
    Is("German: DM", DegMinToGpsText(u"51.30500", true), "5130.500N");
    Is("German: feet", MetresToFeet(u"12.5").value, "0000041");
    QLocale::setDefault(before);
}

void tst_PositionText::conversions()
{
    QFETCH(QStringList, results);
    QFETCH(QString, expected);
    for (const QString& result : results)
        QCOMPARE(result, expected);
}

QTEST_APPLESS_MAIN(tst_PositionText)
#include "tst_PositionText.moc"
