#include "objects/flash_object.h"

#include "imaging/tomeric_color.h"
#include "package/package.h"
#include "vars/variables.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <iostream>

namespace tomeric {

namespace {

TFlashEngineFactory engineFactory = nullptr;

const QString kScriptCommand = QStringLiteral("tomeric");

} // namespace

void SetFlashEngineFactory(TFlashEngineFactory factory) { engineFactory = factory; }

TTomericObj* CreateFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericFlash(parent, record, host);
}

TTomericFlash::TTomericFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    if (const auto* props = record.As<TFlashProps>()) {
        fileName_ = props->fileName;
        loadedAction_ = props->loadedAction;
        doneAction_ = props->doneAction;
        cancelAction_ = props->cancelAction;
        scaleMode_ = props->scaleMode;
        autoStart_ = props->autoStart;
        autoRewind_ = props->autoRewind;
        loop_ = props->loop;
        useInternalLoop_ = props->useInternalLoop;
        useBackgroundColor_ = props->useBkndColor;
        allowContextMenu_ = props->allowContextMenu;
        allowScriptAccess_ = props->allowScriptAccess;
    }
    if (engineFactory)
        engine_.reset(engineFactory(this, *this));
    if (engine_)
        engine_->View()->setGeometry(rect());
}

TTomericFlash::~TTomericFlash() = default;

void TTomericFlash::OnInit() { LoadMovie(); }

// ---- the movie ---------------------------------------------------------------------

std::optional<QByteArray> TTomericFlash::ReadMovie() const
{
    // In preview mode included files lie on disk where the authoring tool
    // keeps them; ResolveFile finds them there.
    if (!CurrentPackage().IsPreview()) {
        const QString entry = FindIncludedName(fileName_);
        if (FindEmbedded(entry)) {
            TEmbeddedLoad load = LoadEmbeddedToMemory(entry);
            if (load.code != 0)
                return std::nullopt;
            return std::move(load.data);
        }
    }
    QFile file(Host().ResolveFile(fileName_));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

TFlashPlayback TTomericFlash::Playback(QByteArray movie) const
{
    TFlashPlayback playback;
    playback.movie = std::move(movie);
    playback.name = QFileInfo(QString(fileName_).replace(u'\\', u'/')).fileName();
    playback.scaleMode = scaleMode_;
    if (useBackgroundColor_)
        playback.background = OpaqueColor(FillColor());
    playback.transparent = GetIsTransparent();
    playback.autoStart = autoStart_;
    playback.contextMenu = allowContextMenu_;
    // Movies loop on their own (the Flash Player's default); the object
    // stops them at their end unless it loops or leaves that to the movie.
    playback.playOnce = !loop_ && !useInternalLoop_;
    return playback;
}

void TTomericFlash::LoadMovie()
{
    isOpen_ = false;
    frameCount_ = 0;
    movieGiven_ = false;
    if (!engine_ || fileName_.isEmpty())
        return;
    // A movie that cannot be read leaves the object empty, as the Flash
    // control did; its commands then say that nothing plays.
    std::optional<QByteArray> movie = ReadMovie();
    if (!movie)
        return;
    movieGiven_ = true;
    engine_->Load(Playback(std::move(*movie)));
}

// ---- what the engine reports --------------------------------------------------------

void TTomericFlash::MovieReady(int frameCount)
{
    isOpen_ = true;
    frameCount_ = frameCount;
    RunObjectAction(loadedAction_, ekMovieLoaded, 0);
}

void TTomericFlash::MovieFailed(const QString& reason)
{
    std::cerr << "flash: the movie " << fileName_.toStdString() << " of " << Name().toStdString()
              << " does not play: " << reason.toStdString() << std::endl;
}

// Commands a movie sends reach the publication only when the object allows
// scripts: "tomeric" runs its argument; any other goes to the subroutine
// <object>_FSCommand when the publication has one.
void TTomericFlash::MovieCommand(const QString& command, const QString& args)
{
    if (!allowScriptAccess_)
        return;
    if (command.compare(kScriptCommand, Qt::CaseInsensitive) == 0) {
        RunObjectAction(args, ekFlashCommand, 0);
        return;
    }
    const QString subroutine = Name() + QStringLiteral("_FSCommand");
    if (!Host().HasSubroutine(subroutine))
        return;
    SetVariable(u'[' + Name() + QStringLiteral(".fsCommand]"), command);
    SetVariable(u'[' + Name() + QStringLiteral(".fsArgs]"), args);
    RunObjectAction(QStringLiteral("GoSub \"%1\"").arg(subroutine), ekFlashCommand, 0);
}

void TTomericFlash::MovieEnded()
{
    RunObjectAction(doneAction_, ekMediaDone, 0);
    if (autoRewind_)
        engine_->Rewind();
}

// ---- the commands --------------------------------------------------------------------

void TTomericFlash::Play(bool loop)
{
    if (!HasMovie())
        return;
    if (loop && !loop_ && !useInternalLoop_) {
        loop_ = true;
        LoadMovie();
        return;
    }
    engine_->Play();
}

void TTomericFlash::Pause()
{
    if (HasMovie())
        engine_->Pause();
}

void TTomericFlash::Stop()
{
    if (!HasMovie())
        return;
    if (autoRewind_)
        engine_->Rewind();
    else
        engine_->Pause();
    RunObjectAction(cancelAction_, ekMediaCancelled, 0);
}

void TTomericFlash::Rewind()
{
    if (HasMovie())
        engine_->Rewind();
}

// ---- TTomericObj ---------------------------------------------------------------------

std::optional<QString> TTomericFlash::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME"))
        return fileName_;
    if (upperInfo == QLatin1String("MEDIALENGTH"))
        return QString::number(isOpen_ ? frameCount_ : 0);
    return std::nullopt;
}

bool TTomericFlash::SetObjectFileName(const QString& file)
{
    fileName_ = file;
    LoadMovie();
    return true;
}

void TTomericFlash::RefreshObject() { LoadMovie(); }

QWidget* TTomericFlash::FocusTarget() { return engine_ ? engine_->View() : nullptr; }

void TTomericFlash::PaintContent(QPainter& painter)
{
    PaintShape(painter);
    if (engine_)
        return;
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("Requires Flash Player"));
}

void TTomericFlash::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    if (engine_)
        engine_->View()->setGeometry(rect());
}

} // namespace tomeric
