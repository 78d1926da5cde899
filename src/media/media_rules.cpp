#include "media/media_rules.h"

#include "platform/paths.h"

namespace tomeric {

TPlayMode ParsePlayMode(const QString& options)
{
    if (options.contains(QLatin1String("Loop"), Qt::CaseInsensitive))
        return pmLoop;
    if (options.contains(QLatin1String("Wait"), Qt::CaseInsensitive))
        return pmWait;
    return pmNormal;
}

bool SameMediaFile(const QString& a, const QString& b)
{
    return platform::FilePart(a).compare(platform::FilePart(b), Qt::CaseInsensitive) == 0;
}

QString UpperExtension(const QString& fileName)
{
    const QString file = platform::FilePart(fileName);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : file.mid(dot).toUpper();
}

namespace {

bool IsWave(const QString& extension)
{
    return !extension.isEmpty() && extension.contains(QLatin1String(".WAV"));
}

// The extension is looked up in ".MID.RMI": ".MID" and ".RMI" match, and so
// do their prefixes (".MI", ".M"), as the lookup always did.
bool IsMidi(const QString& extension)
{
    return extension.size() > 1 && QStringLiteral(".MID.RMI").contains(extension);
}

} // namespace

bool StartStops(const QString& newFile, const TOpenMediaFacts& open)
{
    if (open.kind == mkCartoon)
        return false;
    const QString started = UpperExtension(newFile);
    const QString playing = UpperExtension(open.fileName);
    if (IsWave(started))
        return IsWave(playing);
    if (IsMidi(started))
        return IsMidi(playing);
    return false;
}

bool StopMediaSelects(const QString& target, const TOpenMediaFacts& open)
{
    if (target.isEmpty())
        return true;
    if (target.compare(QLatin1String("SOUND"), Qt::CaseInsensitive) == 0)
        return !open.hasVideo;
    if (target.compare(QLatin1String("VIDEO"), Qt::CaseInsensitive) == 0)
        return open.hasVideo;
    return SameMediaFile(target, open.fileName);
}

} // namespace tomeric
