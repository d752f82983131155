// Feeds arbitrary bytes to the file reader as a whole file of each list kind,
// and every line of it to the position text forms, checking what must hold
// for any input: no crash, every conversion is "Err" or a well-formed
// position, and a DM position survives the way through the file form.

#include "files/DecimalText.h"
#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "files/LineReader.h"
#include "files/PositionText.h"
#include "model/TextNumber.h"

#include <QBuffer>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Reads on past every invalid record.
class PatientUser : public UserInteraction
{
public:
    void Message(const QString&, MessageIcon, const QString&) override {}
    Answer Question(const QString&, Buttons, MessageIcon, const QString&) override
    {
        return Answer::Ok;
    }
    void SetStatusText(StatusPanel, const QString&) override {}
    void ShowCancelWindow(const QString&) override {}
    void HideCancelWindow() override {}
    FileExistsAnswer AskFileExists(const QString&) override { return FileExistsAnswer::Cancel; }
};

void Require(bool condition, const char* what, const QString& input)
{
    if (!condition) {
        std::fprintf(stderr, "%s: [%s]\n", what, input.toLatin1().constData());
        std::abort();
    }
}

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
    // The exact reading and the floating-point one agree on ordinary numbers.
    const DecimalText exact = LeadingDecimal(field);
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PatientUser user;
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    state.heightsMode = HeightsMode(size % 3);
    ReaderState reader;
    Lists lists;

    for (const ListKind kind : {ListKind::Waypoints, ListKind::Routes, ListKind::Track}) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        RecordReader records(kind, lists, state, reader, user);
        LineReader lines(buffer);
        QByteArray line;
        bool overlong = false;
        while (lines.Next(line, overlong)) {
            const QString text = QString::fromLatin1(line);
            if (kind == ListKind::Waypoints) {
                for (const QStringView field : QStringView(text).split(u','))
                    CheckTextForms(field.toString());
            }
            records.ReadLine(text);
        }
    }
    // Whatever was read can be written.
    const SaveStamp stamp{QStringLiteral("06/01/2024"), QStringLiteral("10:15:00")};
    for (const ListKind kind : {ListKind::Waypoints, ListKind::Routes, ListKind::Track})
        FileText(kind, lists, stamp);
    return 0;
}
