#include "coords/Geodesy.h"

#include <cmath>

namespace {

struct EllipsoidRow
{
    const char* name;
    double major;
    double minor;
};

// Names as the receiver world knows them, "Clark 1866" included.
constexpr EllipsoidRow kEllipsoidRows[Geodesy::kEllipsoids] = {
    {"Airy", 6377563.396, 6356256.909},
    {"Airy Modified", 6377340.189, 6356034.448},
    {"Australian", 6378160.0, 6356774.719},
    {"Bessel 1841", 6377397.155, 6356078.963},
    {"Clark 1866 - NAD27", 6378206.4, 6356583.8},
    {"Clarke 1880", 6378249.145, 6356514.87},
    {"Everest", 6377276.345, 6356075.413},
    {"Everest Modified", 6377304.063, 6356103.039},
    {"Fischer 1960", 6378166.0, 6356784.284},
    {"Fischer 1960 Modified", 6378155.0, 6356773.32},
    {"Fischer 1968", 6378150.0, 6356768.337},
    {"Geodetic Reference 1967", 6378160.0, 6356774.516},
    {"Geodetic Reference 1980", 6378137.0, 6356752.314},
    {"Helmert", 6378200.0, 6356818.17},
    {"Hough", 6378270.0, 6356794.343},
    {"International", 6378388.0, 6356911.946},
    {"Krassovsky", 6378245.0, 6356863.019},
    {"South American 1969", 6378160.0, 6356774.719},
    {"WGS-60", 6378165.0, 6356783.287},
    {"WGS-66", 6378145.0, 6356759.769},
    {"WGS-72", 6378135.0, 6356750.52},
    {"WGS-84", 6378137.0, 6356752.314},
};

struct DatumRow
{
    const char* name;
    std::int16_t ellipsoid;
};

// In index order, 1 to 103. The names are kept as they have always been
// spelt ("Britian", "Phillipines", "Kergulen", "Maderia"), asterisks included.
constexpr DatumRow kDatumRows[Geodesy::kDatums] = {
    {"Adindan", 6},                      // 1
    {"Afgooye", 17},                     // 2
    {"Ain El Abd 1970", 16},             // 3
    {"Anna 1 Astro", 3},                 // 4
    {"ARC 1950", 6},                     // 5
    {"ARC 1960", 6},                     // 6
    {"Ascension Island 1958", 16},       // 7
    {"Astro B4 Sorol Atoll", 16},        // 8
    {"Astro Beacon E", 16},              // 9
    {"Astro Dos 71/4", 16},              // 10
    {"Astronomic Station 1952", 16},     // 11
    {"Australian Geodetic 1966", 3},     // 12
    {"Australian Geodetic 1984", 3},     // 13
    {"Bellevue IGN", 16},                // 14
    {"Bermuda 1957", 5},                 // 15
    {"Bogota Observatory", 16},          // 16
    {"Campo Inchauspe", 16},             // 17
    {"Canto Astro 1966", 16},            // 18
    {"Cape South Africa", 6},            // 19
    {"Cape Canaveral", 6},               // 20
    {"Carthage", 5},                     // 21
    {"Chatham 1971", 16},                // 22
    {"Chua Astro", 16},                  // 23
    {"Corrego Alegre", 16},              // 24
    {"Djakarta", 4},                     // 25
    {"Dos 1968", 16},                    // 26
    {"Easter Island 1967", 16},          // 27
    {"European 1950", 16},               // 28
    {"European 1979", 16},               // 29
    {"*Finland Hayford", 16},            // 30
    {"Gandajika Base", 16},              // 31
    {"Geodetic Datum 1949", 16},         // 32
    {"Guam 1963", 5},                    // 33
    {"Gux 1 Astro", 16},                 // 34
    {"Hjorsey 1955", 16},                // 35
    {"Hong Kong 1963", 16},              // 36
    {"Indian", 7},                       // 37
    {"*Indian Thailand", 16},            // 38
    {"Ireland 1965", 2},                 // 39
    {"ISTS 073 Astro 1969", 16},         // 40
    {"Johnson Island 1961", 16},         // 41
    {"Kandawala", 7},                    // 42
    {"Kergulen Island", 16},             // 43
    {"Kertau 1948", 8},                  // 44
    {"L. C. 5 Astro", 5},                // 45
    {"Liberia 1964", 6},                 // 46
    {"*Luzon Mindanao", 5},              // 47
    {"Luzon Phillipines", 5},            // 48
    {"Mahe 1971", 6},                    // 49
    {"Marco Astro", 16},                 // 50
    {"Massawa", 4},                      // 51
    {"Merchich", 6},                     // 52
    {"Midway Astro 1961", 16},           // 53
    {"Minna", 6},                        // 54
    {"NAD27 Alaska", 5},                 // 55
    {"NAD27 Bahamas", 5},                // 56
    {"NAD27 Canada", 5},                 // 57
    {"NAD27 Canal Zone", 5},             // 58
    {"NAD27 Caribbean", 5},              // 59
    {"NAD27 Central America", 5},        // 60
    {"NAD27 Conus", 5},                  // 61
    {"NAD27 Cuba", 5},                   // 62
    {"NAD27 Greenland", 5},              // 63
    {"NAD27 Mexico", 5},                 // 64
    {"NAD27 San Salvador", 5},           // 65
    {"NAD83", 13},                       // 66
    {"*Nahrwn Masirah Island", 6},       // 67
    {"*Nahrwn Saudi Arabia", 6},         // 68
    {"*Nahrwn United Arab Emirates", 6}, // 69
    {"*Naparima BWI", 6},                // 70
    {"Observatorio 1966", 16},           // 71
    {"Old Egyptian", 14},                // 72
    {"Old Hawaiian", 5},                 // 73
    {"Oman", 6},                         // 74
    {"Ord Survey G. Britian 1936", 1},   // 75
    {"Pico De Las Nieves", 16},          // 76
    {"Pitcairn Astro 1967", 16},         // 77
    {"Prov. So. America 1956", 16},      // 78
    {"Prov. So. Chilean 1963", 16},      // 79
    {"Puerto Rico", 5},                  // 80
    {"Qatar National", 16},              // 81
    {"Qornoq", 16},                      // 82
    {"Reunion", 16},                     // 83
    {"Rome 1940", 16},                   // 84
    {"*RT 90 Sweden", 16},               // 85
    {"Santo (DOS)", 16},                 // 86
    {"Sao Braz", 16},                    // 87
    {"Sapper Hill 1943", 16},            // 88
    {"Schwarzeck", 4},                   // 89
    {"South American 1969", 18},         // 90
    {"South Asia", 10},                  // 91
    {"Southeast Base - Maderia", 16},    // 92
    {"Southwest Base - Azores", 16},     // 93
    {"Timbalai 1948", 7},                // 94
    {"Tokyo", 4},                        // 95
    {"Tristan Astro 1968", 16},          // 96
    {"Viti Levu 1916", 6},               // 97
    {"Wake-Eniwetok 1960", 15},          // 98
    {"WGS 1960", 19},                    // 99
    {"WGS 1966", 20},                    // 100
    {"WGS 1972", 21},                    // 101
    {"WGS 1984", 22},                    // 102
    {"Zanderij", 16},                    // 103
};

// The 0-based slot of a 1-based index given as any number, or nothing when it
// lies outside 1..count (a NaN included).
std::optional<std::size_t> Slot(double index, int count)
{
    const double whole = std::nearbyint(index); // halves to even
    if (!(whole >= 1 && whole <= count))
        return std::nullopt;
    return static_cast<std::size_t>(whole) - 1;
}

} // namespace

Geodesy::Geodesy()
{
    for (std::size_t i = 0; i < std::size(kEllipsoidRows); ++i) {
        major_[i] = kEllipsoidRows[i].major;
        minor_[i] = kEllipsoidRows[i].minor;
        ellipsoidNames_[i] = QString::fromLatin1(kEllipsoidRows[i].name);
    }
    for (std::size_t i = 0; i < std::size(kDatumRows); ++i) {
        datumNames_[i] = QString::fromLatin1(kDatumRows[i].name);
        datumEllipsoids_[i] = kDatumRows[i].ellipsoid;
    }
}

std::optional<double> Geodesy::eMajor(double index) const
{
    if (const auto slot = Slot(index, kEllipsoids))
        return major_[*slot];
    return std::nullopt;
}

std::optional<double> Geodesy::eMinor(double index) const
{
    if (const auto slot = Slot(index, kEllipsoids))
        return minor_[*slot];
    return std::nullopt;
}

std::optional<QString> Geodesy::ename(double index) const
{
    if (const auto slot = Slot(index, kEllipsoids))
        return ellipsoidNames_[*slot];
    return std::nullopt;
}

std::optional<QString> Geodesy::dName(double index) const
{
    if (const auto slot = Slot(index, kDatums))
        return datumNames_[*slot];
    return std::nullopt;
}

std::optional<std::int16_t> Geodesy::dNumber(double index) const
{
    if (const auto slot = Slot(index, kDatums))
        return datumEllipsoids_[*slot];
    return std::nullopt;
}

const Geodesy& SharedGeodesy()
{
    static const Geodesy geodesy;
    return geodesy;
}
