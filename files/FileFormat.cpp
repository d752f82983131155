#include "files/FileFormat.h"

#include "files/FileWriter.h"
#include "files/GpxFile.h"

FileOutcome TextFileFormat::Load(ListKind kind, const QString& path, Lists& lists,
                                 const ProgramState& state, ReaderState& reader,
                                 UserInteraction& ui) const
{
    return LoadListFile(kind, path, lists, state, reader, ui);
}

FileOutcome TextFileFormat::Save(ListKind kind, const QString& path, const Lists& lists,
                                 UserInteraction& ui, const QDateTime& moment) const
{
    return SaveListFile(kind, path, lists, ui, moment);
}

const FileFormat& FileFormatFor(const QString& path)
{
    static const TextFileFormat text;
    static const GpxFileFormat gpx;
    if (IsGpxPath(path))
        return gpx;
    return text;
}
