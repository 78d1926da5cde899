// The Flash... commands. Each is carried out only when the object is a Flash
// movie; otherwise nothing happens. An object without a Flash player, or
// whose movie could not be read, answers "La commande requiert un objet
// visible.". The player (Ruffle) can play, pause and restart a movie, but
// offers no way to step between frames or to reach the movie's variables:
// those commands say so in [LastError].

#include "objects/flash_object.h"
#include "objects/object_command_handlers.h"

namespace tomeric {

namespace {

using TFlashHandler = void (*)(TObjectCommandRun& run, TTomericFlash& flash);

struct TFlashRow {
    const char* name;
    TFlashHandler handler;
};

void Play(TObjectCommandRun& run, TTomericFlash& flash)
{
    flash.Play(run.Param(2).contains(QLatin1String("Loop"), Qt::CaseInsensitive));
}
void Pause(TObjectCommandRun&, TTomericFlash& flash) { flash.Pause(); }
void Stop(TObjectCommandRun&, TTomericFlash& flash) { flash.Stop(); }
void Rewind(TObjectCommandRun&, TTomericFlash& flash) { flash.Rewind(); }

void NotOffered(TObjectCommandRun& run, TTomericFlash& flash)
{
    run.reply.LastError = QLatin1Char('"') + flash.Name() + QStringLiteral("\"||") + run.call.Command +
                          QStringLiteral(" n'est pas disponible avec le lecteur Flash Ruffle.");
}

void GetVar(TObjectCommandRun& run, TTomericFlash& flash)
{
    run.Result(3, QString());
    NotOffered(run, flash);
}

constexpr TFlashRow kFlashCommands[] = {
    {"FlashPlay", Play},          {"FlashPause", Pause},       {"FlashStop", Stop},
    {"FlashRewind", Rewind},      {"FlashGotoFrame", NotOffered}, {"FlashForward", NotOffered},
    {"FlashBack", NotOffered},    {"FlashGetVar", GetVar},     {"FlashSetVar", NotOffered},
};

const TFlashRow* FindFlashRow(const QString& command)
{
    for (const TFlashRow& row : kFlashCommands)
        if (command.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

} // namespace

void FlashCommand(TObjectCommandRun& run)
{
    auto* flash = qobject_cast<TTomericFlash*>(run.found.object);
    if (!flash)
        return;
    const TFlashRow* row = FindFlashRow(run.call.Command);
    if (!row || !flash->HasMovie()) {
        // No movie: FlashGetVar empties its variable.
        if (row && row->handler == GetVar)
            run.Result(3, QString());
        run.Fail(flash->Name(), msgNeedsVisibleObject);
        return;
    }
    row->handler(run, *flash);
}

} // namespace tomeric
