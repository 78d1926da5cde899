// The commands of one family each: timers, pictures, articles, media
// players and animations (lists and track bars are in input_commands.cpp,
// browsers in browser_commands.cpp, Flash movies in flash_commands.cpp). Each is carried out
// only when the object is of its kind; otherwise nothing happens.

#include "objects/animator_object.h"
#include "objects/articles.h"
#include "objects/media_player_object.h"
#include "objects/object_command_handlers.h"
#include "objects/picture_object.h"
#include "objects/timer_object.h"

namespace tomeric {

namespace {

template <class Family>
Family* As(TObjectCommandRun& run)
{
    return qobject_cast<Family*>(run.found.object);
}

} // namespace

// ---- timers, pictures, articles ----------------------------------------------------

void TimerStartCommand(TObjectCommandRun& run)
{
    if (auto* timer = As<TTomericTimer>(run))
        if (auto interval = ParseCommandNumber(run.Param(2)))
            timer->Start(*interval);
}

void TimerStopCommand(TObjectCommandRun& run)
{
    if (auto* timer = As<TTomericTimer>(run))
        timer->Stop();
}

void PictureMagnifyCommand(TObjectCommandRun& run)
{
    if (auto* picture = As<TTomericPicture>(run))
        if (auto zoom = ParseCommandNumber(run.Param(2)))
            picture->Magnify(*zoom);
}

void ArticleJumpToCommand(TObjectCommandRun& run)
{
    auto* article = As<TBaseArticle>(run);
    if (!article)
        return;
    const TObjectRoot& where = run.found.where;
    // An article on another page is shown before it scrolls.
    if (!where.onScreen && !where.floating && where.pageIndex >= 1 && run.commands.World().bringUpPage)
        run.commands.World().bringUpPage(where.pageIndex);
    article->JumpTo(run.Param(2));
}

// ---- media players and animations --------------------------------------------------

void MediaPlayerCommand(TObjectCommandRun& run)
{
    auto* player = As<TTomericMediaPlayer>(run);
    if (!player)
        return;
    const QString& command = run.call.Command;
    if (command.compare(QLatin1String("MediaPlayerPlay"), Qt::CaseInsensitive) == 0)
        player->Play();
    else if (command.compare(QLatin1String("MediaPlayerPause"), Qt::CaseInsensitive) == 0)
        player->Pause();
    else if (command.compare(QLatin1String("MediaPlayerStop"), Qt::CaseInsensitive) == 0)
        player->Stop();
    else
        player->Rewind();
}

void GifCommand(TObjectCommandRun& run)
{
    auto* animator = As<TTomericAnimator>(run);
    if (!animator)
        return;
    if (run.call.Command.compare(QLatin1String("GIFStop"), Qt::CaseInsensitive) == 0)
        animator->Stop();
    else
        animator->Play(ParseCommandNumber(run.Param(2)).value_or(0));
}

} // namespace tomeric
